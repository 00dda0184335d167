// The printers and their settings are never lost: a save that fails (the
// disk full) says so and leaves what was saved, and a state file damaged
// at start is set aside for the backup.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app_server.h"
#include "state_file.h"

namespace {

namespace fs = std::filesystem;

const std::string STATE = "korla-printer-app.state";

const std::string WHOLE = std::string("DNSSDName till\nNextPrinterID 2\n<Printer id=\"1\" name=\"receipt\">\n"
                                      "korla-cash-drawer-default 1\n</Printer>\n") +
                          STATE_END_MARK;

TEST(StateText, TellsWholeFromDamaged)
{
    struct Case {
        const char* name;
        std::string text;
        StateText expected;
    };
    const std::string unmarked = WHOLE.substr(0, WHOLE.size() - strlen(STATE_END_MARK));
    for (const Case& c : {
             Case{"whole", WHOLE, StateText::Whole},
             Case{"older version, or cut after a printer", unmarked, StateText::Unmarked},
             Case{"empty", "", StateText::Damaged},
             Case{"cut within a line", WHOLE.substr(0, 30), StateText::Damaged},
             Case{"cut within a printer", WHOLE.substr(0, WHOLE.find("korla")), StateText::Damaged},
             Case{"garbage", std::string("\x7f" "ELF\x02\x01\x01\0\0\n", 10), StateText::Damaged},
             Case{"printer within a printer", "<Printer id=\"1\">\n<Printer id=\"2\">\n</Printer>\n", StateText::Damaged},
             Case{"mark not at the end", std::string(STATE_END_MARK) + unmarked, StateText::Unmarked},
         }) {
        std::string why;
        EXPECT_EQ(c.expected, CheckStateText(c.text, why)) << c.name;
        EXPECT_EQ(c.expected == StateText::Whole, why.empty()) << c.name << ": " << why;
    }
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

// The printer's drawer setting; "" when there is no printer.
std::string CashDrawerDefault(const AppServer& server)
{
    return IppAttribute(server, "korla-cash-drawer-default");
}

ChildResult SetCashDrawer(const AppServer& server, const std::string& value)
{
    return server.Run({"modify", "-d", PRINTER, "-o", "korla-cash-drawer-default=" + value});
}

// Fills the file system of the server's folder but for `left` bytes.
void FillDisk(const std::string& folder, uintmax_t left)
{
    const uintmax_t free = fs::space(folder).available;
    std::ofstream filler(folder + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (uintmax_t written = 0; written + left < free; written += block.size())
        filler.write(block.data(), static_cast<std::streamsize>(block.size()));
}

// The disk full: a change that cannot be saved is reported as such by
// modify and by the Receipt page, and the state saved before is kept
// whole, to start from after a restart.
TEST(PrinterAppState, FailedSaveIsReportedAndLosesNothing)
{
    AppServer server;
    PrinterSetup setup;
    setup.statusInterval = 0;
    setup.logLevel = "error";
    setup.folderBytes = 1 << 20;
    ASSERT_TRUE(server.Start(setup));
    ASSERT_EQ(0, SetCashDrawer(server, "1").exitStatus);
    const std::string state = server.folder() + "/" + STATE;
    const std::string saved = ReadFile(state);
    ASSERT_NE(std::string::npos, saved.find("korla-cash-drawer-default 1")) << saved;

    FillDisk(server.folder(), 0);
    const ChildResult modified = SetCashDrawer(server, "2");
    EXPECT_NE(0, modified.exitStatus);
    EXPECT_NE(std::string::npos, modified.err.find("could not be saved")) << modified.out << modified.err;
    std::string page;
    EXPECT_EQ(200, server.PostForm("/" + PRINTER + "/receipt", "korla-start-doc=None&korla-end-doc=None", &page));
    EXPECT_NE(std::string::npos, page.find("could not be saved")) << page;
    EXPECT_EQ(saved, ReadFile(state));

    // Stopped with the disk still full, its last save fails too.
    server.Stop();
    EXPECT_EQ(saved, ReadFile(state));
    fs::remove(server.folder() + "/filler");
    ASSERT_TRUE(server.StartServer());
    EXPECT_EQ(PRINTER + "\n", server.Run({"printers"}).out);
    EXPECT_EQ("1", CashDrawerDefault(server));
    EXPECT_EQ(0600u, ModeOf(state));
    EXPECT_EQ(0600u, ModeOf(state + ".bak"));
}

// A state file cut short, emptied or garbled is moved aside, the log says
// so, and the server starts from the backup: the printer and its settings,
// but for the last change when that was the last save.
TEST(PrinterAppState, DamagedFileGivesWayToTheBackup)
{
    struct Damage {
        const char* name;
        std::function<std::string(const std::string&)> apply;
    };
    for (const Damage& damage : {
             Damage{"empty", [](const std::string&) { return std::string(); }},
             Damage{"cut short", [](const std::string& text) { return text.substr(0, text.size() / 2); }},
             Damage{"garbled", [](const std::string& text) { return std::string(text.size(), '\0'); }},
         }) {
        AppServer server;
        PrinterSetup setup;
        setup.statusInterval = 0;
        ASSERT_TRUE(server.Start(setup));
        ASSERT_EQ(0, SetCashDrawer(server, "1").exitStatus);
        ASSERT_EQ(0, SetCashDrawer(server, "2").exitStatus);
        server.Stop();
        const std::string state = server.folder() + "/" + STATE;
        WriteFile(state, damage.apply(ReadFile(state)));

        ASSERT_TRUE(server.StartServer()) << damage.name;
        EXPECT_EQ(PRINTER + "\n", server.Run({"printers"}).out) << damage.name;
        const std::string drawer = CashDrawerDefault(server);
        EXPECT_TRUE(drawer == "1" || drawer == "2") << damage.name << ": " << drawer;
        const std::string log = ReadFile(server.folder() + "/korla-printer-app.log");
        EXPECT_NE(std::string::npos, log.find("is damaged")) << damage.name << "\n" << log;
        bool setAside = false;
        for (const fs::directory_entry& entry : fs::directory_iterator(server.folder()))
            setAside = setAside || entry.path().filename().string().rfind(STATE + ".damaged-", 0) == 0;
        EXPECT_TRUE(setAside) << damage.name;
    }
}

}  // namespace

// Driver files in a folder that every user can write to (sticky, 1777), as
// another user (nobody) plants them there for root to install: root takes
// only files it may trust, says why it refuses one, and then neither falls
// back on the installed copies nor leaves anything in the CUPS folders.
#include "installer_fixture.h"

#include <atomic>
#include <csignal>
#include <elf.h>
#include <filesystem>
#include <poll.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr char PPD[] = "KORLA_tessa-300.ppd";
constexpr char FILTER[] = "RasterToKPrinter";
constexpr char ANSWERS[] = "4\n127.0.0.1\n9100\n";
constexpr off_t MIB = 1 << 20;

uid_t NobodyUid()
{
    const passwd* nobody = getpwnam("nobody");
    return nobody ? nobody->pw_uid : 65534;
}

const std::string NOT_OURS = "Owned by user ID " + std::to_string(NobodyUid()) +
                             ", neither root nor the user running the installer";

// The shipped PPD with one line changed.
std::string ShippedPpdWith(const std::string& from, const std::string& to)
{
    std::string text = ShippedPpdText();
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The built filter with two bytes of its ELF header changed.
std::string FilterWithHalf(std::size_t offset, uint16_t value)
{
    std::string text = FilterText();
    text.replace(offset, sizeof value, reinterpret_cast<const char*>(&value), sizeof value);
    return text;
}

// Writes a file as root with exactly that mode, then gives it to uid.
void WriteOwned(const std::string& path, const std::string& text, mode_t mode, uid_t uid)
{
    ASSERT_TRUE(WriteFile(path, text, mode));
    ASSERT_EQ(0, chmod(path.c_str(), mode));
    ASSERT_EQ(0, chown(path.c_str(), uid, static_cast<gid_t>(-1)));
}

class PlantedFileTest : public InstallerTest {
protected:
    void SetUp() override
    {
        InstallerTest::SetUp();
        ASSERT_TRUE(WriteFile(work_ / "secret", "root's secret\n", 0600));
        // The driver as the package installs it, which a refusal must not
        // quietly fall back on.
        MoveDriverFilesToCupsFolders();
        runDir_ = work_ / "shared";
        ASSERT_EQ(0, mkdir(runDir_.c_str(), 0700));
        ASSERT_EQ(0, chmod(runDir_.c_str(), 01777));
    }

    std::string Planted(const std::string& name) const { return runDir_ + "/" + name; }

    std::string Target(const std::string& name) const { return name == PPD ? InstalledPpd() : InstalledFilter(); }

    // The set-up failed at the refusal; the installed driver is as it was
    // and no file is left half-made in the CUPS folders.
    void ExpectRefused(const ChildResult& run, const std::string& name, const std::string& reason) const
    {
        EXPECT_TRUE(EndsWith(run.out, "Error> cannot copy './" + name + "' to '" + Target(name) + "': " + reason +
                                          "\ninstallation failed!!\n" + LAN_FAILURE))
            << run.out;
        EXPECT_EQ(1, run.exitStatus);
        EXPECT_TRUE(cupsd_.QueueNames().empty());
        EXPECT_EQ(ShippedPpdText(), ReadFile(InstalledPpd()));
        EXPECT_TRUE(FilterText() == ReadFile(InstalledFilter())) << InstalledFilter() << " is not the built filter";
        ExpectNoHiddenFiles();
    }

    void ExpectNoHiddenFiles() const
    {
        for (const std::string& folder : {cupsd_.dataDir() + "/model", cupsd_.serverBin() + "/filter"}) {
            for (const fs::directory_entry& entry : fs::directory_iterator(folder))
                EXPECT_NE('.', entry.path().filename().string()[0]) << entry.path();
        }
    }
};

struct PlantCase {
    const char* name;
    const char* file;
    std::function<void(const std::string& path)> plant;
    std::string reason;
};

void PrintTo(const PlantCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlantedFileRefusalTest : public PlantedFileTest, public ::testing::WithParamInterface<PlantCase> {};

TEST_P(PlantedFileRefusalTest, IsRefusedWithItsReason)
{
    const PlantCase& c = GetParam();
    c.plant(Planted(c.file));
    if (HasFatalFailure())
        return;
    ExpectRefused(RunInstaller(ANSWERS), c.file, c.reason);
}

std::function<void(const std::string&)> Written(const std::string& text, mode_t mode, uid_t owner)
{
    return [text, mode, owner](const std::string& path) { WriteOwned(path, text, mode, owner); };
}

// A symbolic link that nobody owns; targets relative to the test's folder.
std::function<void(const std::string&)> Linked(const std::string& target)
{
    return [target](const std::string& path) {
        ASSERT_EQ(0, symlink((fs::path(path).parent_path().parent_path() / target).c_str(), path.c_str()));
        ASSERT_EQ(0, lchown(path.c_str(), NobodyUid(), static_cast<gid_t>(-1)));
    };
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlantedFileRefusalTest,
    ::testing::Values(
        // Root would publish a file only root may read as a world-readable
        // PPD, or write without end into the model folder.
        PlantCase{"LinkToARootOnlyFile", PPD, Linked("secret"), "Is a symbolic link"},
        PlantCase{"LinkToDevZero", PPD, Linked("/dev/zero"), "Is a symbolic link"},
        // Would hold the installer for ever.
        PlantCase{"Fifo", PPD,
                  [](const std::string& path) {
                      ASSERT_EQ(0, mkfifo(path.c_str(), 0666));
                      ASSERT_EQ(0, chown(path.c_str(), NobodyUid(), static_cast<gid_t>(-1)));
                  },
                  "Not a regular file"},
        PlantCase{"AnotherUsersPpd", PPD, Written(ShippedPpdText(), 0644, NobodyUid()), NOT_OURS},
        // cupsd would run it as the filter of every queue of the printer.
        PlantCase{"AnotherUsersProgram", FILTER, Written(FilterText(), 0777, NobodyUid()), NOT_OURS},
        PlantCase{"RootsFileThatOthersMayChange", PPD, Written(ShippedPpdText(), 0666, 0),
                  "Writable by users other than its owner"},
        PlantCase{"FileWithASecondName", PPD,
                  [](const std::string& path) {
                      Written(ShippedPpdText(), 0644, 0)(path);
                      ASSERT_EQ(0, link(path.c_str(), (fs::path(path).parent_path().parent_path() / "other").c_str()));
                  },
                  "Has more than one name (hard link)"},
        PlantCase{"PpdOverOneMiB", PPD,
                  Written(ShippedPpdText() + std::string(MIB, '\n'), 0644, 0), "Larger than 1 MiB"},
        PlantCase{"NotAPpd", PPD, Written("Hello\n", 0644, 0),
                  "Not a PPD file: Missing asterisk in column 1 on line 1"},
        PlantCase{"AnotherPrintersPpd", PPD,
                  Written(ShippedPpdWith("*ModelName: \"" + ShippedPpdValue("ModelName") + "\"",
                                         "*ModelName: \"Other Printer\""),
                          0644, 0),
                  "The PPD file of another printer (*PCFileName \"" + ShippedPpdValue("PCFileName") +
                      "\", *ModelName \"Other Printer\")"},
        PlantCase{"ProgramNotExecutable", FILTER, Written(FilterText(), 0644, 0), "Not executable"},
        // The filter is a compiled program; a script is not it.
        PlantCase{"Script", FILTER, Written("#!/bin/sh\nexec cat\n", 0755, 0), "Not an ELF program"},
        PlantCase{"ProgramForAnotherMachine", FILTER,
                  Written(FilterWithHalf(offsetof(Elf64_Ehdr, e_machine), EM_NONE), 0755, 0),
                  "An ELF program for another machine"}),
    [](const ::testing::TestParamInfo<PlantCase>& info) { return std::string(info.param.name); });

// With sudo, the files of the user who ran it are that user's own to install;
// without, they are another user's.
TEST_F(PlantedFileTest, FilesOfTheUserWhoRanSudoAreTaken)
{
    WriteOwned(Planted(PPD), ShippedPpdText(), 0644, NobodyUid());
    WriteOwned(Planted(FILTER), FilterText(), 0755, NobodyUid());
    const ChildResult bySudo = RunInstaller(ANSWERS, {{"SUDO_UID", std::to_string(NobodyUid())}});
    EXPECT_TRUE(EndsWith(bySudo.out, "Install Success!.\n" + TestReceiptOffer("KORLA_tessa-300_ETHERNET")))
        << bySudo.out;
    EXPECT_NE(std::string::npos, bySudo.out.find("'./" + std::string(FILTER) + "' -> '" + InstalledFilter() + "'\n"))
        << bySudo.out;

    ASSERT_TRUE(cupsd_.AddRawQueue("other", "socket://127.0.0.1:1"));  // the next name is free either way
    const ChildResult byRoot = RunInstaller(ANSWERS);
    EXPECT_TRUE(EndsWith(byRoot.out, "Error> cannot copy './" + std::string(PPD) + "' to '" + InstalledPpd() +
                                         "': " + NOT_OURS + "\ninstallation failed!!\n" + LAN_FAILURE))
        << byRoot.out;
}

// Waits until a file named ".<name>...", as the copy's temporary file is
// named, is made in the folder that `watch` watches; false when none is
// made within a minute.
bool WaitForTemporaryFile(int watch, const std::string& name)
{
    pollfd poller{watch, POLLIN, 0};
    while (poll(&poller, 1, 60000) == 1) {
        alignas(inotify_event) char buffer[4096];
        const ssize_t length = read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && std::string(event->name).rfind("." + name + ".", 0) == 0)
                return true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return false;
}

// SIGTERM while the filter is being copied: the installer ends, and no
// temporary file stays behind in the filter folder.
TEST_F(PlantedFileTest, SignalDuringTheCopyLeavesNoTemporaryFile)
{
    // 60 MiB take long enough to copy that the signal comes meanwhile.
    WriteOwned(Planted(FILTER), FilterText(), 0755, 0);
    ASSERT_EQ(0, truncate(Planted(FILTER).c_str(), 60 * MIB));
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_LE(0, inotify_add_watch(watch, (cupsd_.serverBin() + "/filter").c_str(), IN_CREATE));
    std::atomic<pid_t> installer{0};
    started_ = [&installer](pid_t pid) { installer = pid; };
    std::atomic<bool> signalled{false};
    std::thread killer(
        [&] { signalled = WaitForTemporaryFile(watch, FILTER) && installer > 0 && kill(installer, SIGTERM) == 0; });
    const ChildResult run = RunInstaller(ANSWERS);
    killer.join();
    close(watch);

    ASSERT_TRUE(signalled) << run.out;
    EXPECT_EQ(-1, run.exitStatus) << "the installer was not ended by the signal\n" << run.out;
    ExpectNoHiddenFiles();
}

}  // namespace

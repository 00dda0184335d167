// Driver copy and registration: failures of the copy, of the machine-type
// query and of the server, seen through the Ethernet set-up.
#include "installer_fixture.h"

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char QUEUE[] = "KORLA_tessa-300_ETHERNET";
constexpr char URI[] = "socket://127.0.0.1:9100";
constexpr char ANSWERS[] = "4\n127.0.0.1\n9100\n";

class RegistrationTest : public InstallerTest {
protected:
    // Puts a "uname" that runs the given shell text ahead of the real one.
    std::map<std::string, std::optional<std::string>> WithUname(const std::string& body)
    {
        EXPECT_TRUE(WriteFile(tools_ / "uname", "#!/bin/sh\n" + body + "\n", 0755));
        return {{"PATH", tools_.path() + ":" + getenv("PATH")}};
    }

    std::string FilterCopyLine() const
    {
        return "'./RasterToKPrinter' -> '" + cupsd_.serverBin() + "/filter/RasterToKPrinter'\n";
    }

    std::string PpdCopyLine() const
    {
        return "'./KORLA_tessa-300.ppd' -> '" + cupsd_.dataDir() + "/model/KORLA_tessa-300.ppd'\n";
    }

    // The set-up failed right after this error line: the Ethernet failure
    // text, exit status 1, no queue.
    void ExpectFailedAfter(const ChildResult& run, const std::string& errorLine) const
    {
        EXPECT_NE(std::string::npos, run.out.find(errorLine + "\ninstallation failed!!\nInstall Fail!.\n"
                                                              "Check Connection LAN Cable or Printer Power.\n"))
            << run.out;
        EXPECT_EQ(1, run.exitStatus);
        EXPECT_FALSE(cupsd_.Queue(QUEUE));
    }

    TempDir tools_{"korla-tools-"};
};

// The text from the first `from` up to the next `to` after it.
std::string Between(const std::string& text, const std::string& from, const std::string& to)
{
    const std::size_t begin = text.find(from);
    const std::size_t end = text.find(to, begin);
    if (begin == std::string::npos || end == std::string::npos)
        return "<not found in>\n" + text;
    return text.substr(begin, end - begin);
}

TEST_F(RegistrationTest, OtherMachineTypeCountsAs32BitAndCopiesFilter)
{
    const ChildResult run = RunInstaller(ANSWERS, WithUname("echo aarch64"));
    EXPECT_EQ("AddPrinter 2 \ncopy ppd file [KORLA_tessa-300.ppd]\naarch64\n\nMachine type : 32bit\n" +
                  PpdCopyLine() + "copy Filter file [RasterToKPrinter]\n" + FilterCopyLine(),
              Between(run.out, "AddPrinter 2 ", "Add Printer status ["));
    ExpectRegistered(QUEUE, URI);
}

// Without a machine type the filter is not copied: the installed one serves
// if there is one, else the set-up fails before anything is registered.
TEST_F(RegistrationTest, SilentMachineTypeQuerySkipsFilterCopy)
{
    ASSERT_TRUE(WriteFile(InstalledFilter(), "#!/bin/sh\nexec cat\n", 0755));
    const ChildResult run = RunInstaller(ANSWERS, WithUname("exit 0"));
    const std::string copying = Between(run.out, "AddPrinter 2 ", "Add Printer status [");
    EXPECT_EQ(0u, copying.find("AddPrinter 2 \ncopy ppd file [KORLA_tessa-300.ppd]\nerror2 [cmd:uname -m]["))
        << copying;
    EXPECT_NE(std::string::npos,
              copying.find("]\n" + PpdCopyLine() + "copy Filter file [RasterToKPrinter]\n"
                           "Error> Machine type is unkown.\nusing the installed '" + InstalledFilter() + "'\n"))
        << copying;
    EXPECT_EQ("#!/bin/sh\nexec cat\n", ReadFile(InstalledFilter()));
    EXPECT_EQ(0, run.exitStatus);
    EXPECT_TRUE(cupsd_.Queue(QUEUE));
}

TEST_F(RegistrationTest, SilentMachineTypeQueryWithoutInstalledFilterFails)
{
    const ChildResult run = RunInstaller(ANSWERS, WithUname("exit 0"));
    ExpectFailedAfter(run, "Error> Machine type is unkown.\nError> RasterToKPrinter is neither in the current "
                           "folder nor in " + cupsd_.serverBin() + "/filter/");
}

// Started from a folder without the driver files, the installer registers the
// queue against the copies installed in the CUPS folders, and copies nothing.
TEST_F(RegistrationTest, EmptyFolderUsesInstalledDriverFiles)
{
    MoveDriverFilesToCupsFolders();
    struct stat ppdBefore{}, filterBefore{};
    ASSERT_EQ(0, stat(InstalledPpd().c_str(), &ppdBefore));
    ASSERT_EQ(0, stat(InstalledFilter().c_str(), &filterBefore));

    const ChildResult run = RunInstaller(ANSWERS);
    EXPECT_NE(std::string::npos,
              run.out.find("\nusing the installed '" + InstalledPpd() +
                           "'\ncopy Filter file [RasterToKPrinter]\nusing the installed '" + InstalledFilter() +
                           "'\nAdd Printer status [successful-ok]\n"))
        << run.out;
    EXPECT_EQ(0, run.exitStatus);
    ExpectRegistered(QUEUE, URI);
    struct stat ppdAfter{}, filterAfter{};
    ASSERT_EQ(0, stat(InstalledPpd().c_str(), &ppdAfter));
    ASSERT_EQ(0, stat(InstalledFilter().c_str(), &filterAfter));
    EXPECT_EQ(ppdBefore.st_ino, ppdAfter.st_ino);
    EXPECT_EQ(filterBefore.st_ino, filterAfter.st_ino);
}

TEST_F(RegistrationTest, DriverFileInNeitherPlaceFailsBeforeRegistering)
{
    ASSERT_EQ(0, unlink((work_ / "KORLA_tessa-300.ppd").c_str()));
    const ChildResult run = RunInstaller(ANSWERS);
    ExpectFailedAfter(run, "Error> KORLA_tessa-300.ppd is neither in the current folder nor in " + cupsd_.dataDir() +
                               "/model/");
    EXPECT_NE(0, access(InstalledFilter().c_str(), F_OK)) << "copied the filter after the PPD failed";
}

// The CUPS folders are named through links whose names a shell would split
// at the space and run the rest of after the ';'. The files are copied
// without a shell: they arrive, and nothing runs.
TEST_F(RegistrationTest, FolderNamesAreNotShellText)
{
    TempDir links{"korla-links-"};
    const std::string data = links / "data dir;touch injected;";
    const std::string serverBin = links / "server bin;touch injected;";
    ASSERT_EQ(0, symlink(cupsd_.dataDir().c_str(), data.c_str()));
    ASSERT_EQ(0, symlink(cupsd_.serverBin().c_str(), serverBin.c_str()));

    const ChildResult run = RunInstaller(ANSWERS, {{"CUPS_DATADIR", data}, {"CUPS_SERVERBIN", serverBin}});
    EXPECT_NE(std::string::npos, run.out.find("'./RasterToKPrinter' -> '" + serverBin + "/filter/RasterToKPrinter'\n"))
        << run.out;
    EXPECT_EQ(0, run.exitStatus);
    ExpectRegistered(QUEUE, URI);
    EXPECT_NE(0, access((work_ / "injected").c_str(), F_OK)) << "a shell ran part of a folder name";
}

struct LinkCase {
    const char* name;
    int (*makeLink)(const char* target, const char* link);
};

void PrintTo(const LinkCase& c, std::ostream* os)
{
    *os << c.name;
}

class LinkAtDestinationTest : public RegistrationTest, public ::testing::WithParamInterface<LinkCase> {};

// A link left at a destination (a test server linking the machine's filters,
// a second name of the file) is replaced: what it points to is not written.
TEST_P(LinkAtDestinationTest, IsReplacedNotWrittenThrough)
{
    TempDir machine{"korla-machine-"};
    const std::vector<std::pair<std::string, std::string>> linked = {
        {machine / "ppd", InstalledPpd()}, {machine / "filter", InstalledFilter()}};
    for (const auto& [original, destination] : linked) {
        ASSERT_TRUE(WriteFile(original, "the machine's own file\n", 0755));
        ASSERT_EQ(0, GetParam().makeLink(original.c_str(), destination.c_str()));
    }

    const ChildResult run = RunInstaller(ANSWERS);
    EXPECT_EQ(0, run.exitStatus) << run.out;
    ExpectRegistered(QUEUE, URI);
    for (const auto& [original, destination] : linked) {
        EXPECT_EQ("the machine's own file\n", ReadFile(original));
        struct stat installed{};
        ASSERT_EQ(0, lstat(destination.c_str(), &installed));
        EXPECT_TRUE(S_ISREG(installed.st_mode)) << destination;
        EXPECT_EQ(1u, installed.st_nlink) << destination;
    }
    struct stat filter{};
    ASSERT_EQ(0, stat(InstalledFilter().c_str(), &filter));
    EXPECT_EQ(0755u, filter.st_mode & 07777);
}

INSTANTIATE_TEST_SUITE_P(Links, LinkAtDestinationTest,
                         ::testing::Values(LinkCase{"Symbolic", symlink}, LinkCase{"Hard", link}),
                         [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// A copy that fails fails the set-up, leaves no half-written file and
// registers nothing.
TEST_F(RegistrationTest, UnreadablePpdFailsTheSetUp)
{
    ASSERT_EQ(0, unlink((work_ / "KORLA_tessa-300.ppd").c_str()));
    ASSERT_EQ(0, mkdir((work_ / "KORLA_tessa-300.ppd").c_str(), 0755));
    const ChildResult run = RunInstaller(ANSWERS);
    ExpectFailedAfter(run, "Error> cannot copy './KORLA_tessa-300.ppd' to '" + InstalledPpd() + "': Is a directory");
    EXPECT_TRUE(std::filesystem::is_empty(cupsd_.dataDir() + "/model"));
}

TEST_F(RegistrationTest, MissingFilterFolderFailsTheSetUp)
{
    TempDir serverBin{"korla-serverbin-"};  // holds no filter folder
    const ChildResult run = RunInstaller(ANSWERS, {{"CUPS_SERVERBIN", serverBin.path()}});
    ExpectFailedAfter(run, "Error> cannot copy './RasterToKPrinter' to '" + serverBin.path() +
                               "/filter/RasterToKPrinter': No such file or directory");
}

TEST_F(RegistrationTest, NoServerFailsToConnect)
{
    cupsd_.Stop();  // its port is closed from now on
    const ChildResult run = RunInstaller(ANSWERS);
    EXPECT_NE(std::string::npos,
              run.out.find(PrinterListText(QUEUE, {}) + "URI : [socket://127.0.0.1:9100] \n"))
        << run.out;
    EXPECT_NE(std::string::npos,
              run.out.find("Error> http connection failed\ninstallation failed!!\nInstall Fail!.\n"
                           "Check Connection LAN Cable or Printer Power.\n"))
        << run.out;
}

// A server on 127.0.0.1 that takes every connection and never answers: it
// listens and never accepts, so the kernel completes each connection and
// keeps whatever the client sends.
class SilentServer {
public:
    SilentServer()
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd_, 64) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

struct SilentCase {
    const char* name;
    const char* listingServer;  // CUPS_SERVER; the registration goes to localhost
};

void PrintTo(const SilentCase& c, std::ostream* os)
{
    *os << c.name;
}

class SilentServerTest : public RegistrationTest, public ::testing::WithParamInterface<SilentCase> {};

// With a two-second limit the run ends in seconds; libcups alone would wait
// minutes and then report "Success" for the request that got no answer.
TEST_P(SilentServerTest, GivesUpAsConnectionFailure)
{
    SilentServer server;
    ASSERT_NE(0, server.port());
    const ChildResult run = RunInstaller(ANSWERS, {{"CUPS_SERVER", GetParam().listingServer},
                                                   {"IPP_PORT", std::to_string(server.port())},
                                                   {"PRINTER_INSTALL_TIMEOUT", "2"}});
    EXPECT_NE(std::string::npos,
              run.out.find(PrinterListText(QUEUE, {}) + "URI : [socket://127.0.0.1:9100] \n"))
        << run.out;
    const std::size_t registration = run.out.find("AddPrinter 2 ");
    ASSERT_NE(std::string::npos, registration) << run.out;
    EXPECT_EQ("AddPrinter 2 \n" + CopyText() +
                  "Error> http connection failed\ninstallation failed!!\nInstall Fail!.\n"
                  "Check Connection LAN Cable or Printer Power.\n",
              run.out.substr(registration));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SilentServerTest,
    ::testing::Values(
        // The listing uses up the time, so the registration does not try.
        SilentCase{"ForListingAndRegistration", "127.0.0.1"},
        // The listing finds no server at all; the registration request waits.
        SilentCase{"ForRegistration", "/nonexistent/cups.sock"}),
    [](const ::testing::TestParamInfo<SilentCase>& info) { return std::string(info.param.name); });

}  // namespace

// Driver copy and registration: failures of the copy, of the machine-type
// query and of the server, seen through the Ethernet set-up.
#include "installer_fixture.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "canned_server.h"

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

// A PPD that the server cannot load: cupsd answers the request with success
// and deletes the queue. Installed by hand, it is not the current folder's,
// which would have been refused.
TEST_F(RegistrationTest, QueueThatTheServerDropsIsAFailure)
{
    MoveDriverFilesToCupsFolders();
    ASSERT_TRUE(WriteFile(InstalledPpd(), ShippedPpdText() + "*% " + std::string(300, 'x') + "\n"));
    const ChildResult run = RunInstaller(ANSWERS);
    EXPECT_TRUE(EndsWith(run.out, "Add Printer status [successful-ok]\nError> Printer [" + std::string(QUEUE) +
                                      "] not found on the server [The printer or class does not exist.]\n"
                                      "installation failed!!\n" + LAN_FAILURE))
        << run.out;
    EXPECT_EQ(1, run.exitStatus);
    EXPECT_FALSE(cupsd_.Queue(QUEUE));
}

// Two servers on one port, at 127.0.0.1 and 127.0.0.2, each with a queue
// of the proposed name or not: the one that CUPS_SERVER names is asked for
// its queues and gets the new one; the other keeps its queue as it was.
TEST_F(RegistrationTest, EveryRequestGoesToTheServerNamed)
{
    PrivateCupsd named{"127.0.0.2"};
    ASSERT_TRUE(named.Start(cupsd_.port()));
    constexpr char OTHER_DEVICE[] = "socket://127.0.0.1:1";
    ASSERT_TRUE(cupsd_.AddRawQueue(QUEUE, OTHER_DEVICE));

    std::map<std::string, std::optional<std::string>> environment;
    for (const auto& [name, value] : named.ClientEnvironment())
        environment[name] = value;
    const ChildResult run = RunInstaller(ANSWERS, environment);

    EXPECT_NE(std::string::npos, run.out.find(PrinterListText(QUEUE, {}))) << run.out;
    EXPECT_TRUE(EndsWith(run.out, "Install Success!.\n" + TestReceiptOffer(QUEUE))) << run.out;
    EXPECT_EQ(URI, named.Queue(QUEUE).value_or(QueueState{}).deviceUri);
    EXPECT_EQ(OTHER_DEVICE, cupsd_.Queue(QUEUE).value_or(QueueState{}).deviceUri);
}

// Without a server the queues cannot be listed: the set-up fails there.
TEST_F(RegistrationTest, NoServerFailsToConnect)
{
    cupsd_.Stop();  // its port is closed from now on
    const ChildResult run = RunInstaller(ANSWERS);
    EXPECT_TRUE(EndsWith(run.out, "++++ step2 cnt=3\nError> http connection failed\n" + LAN_FAILURE)) << run.out;
    EXPECT_EQ(1, run.exitStatus);
}

// How the stand-in server answers a kind of request.
enum Canned { SILENT, HTTP_ERROR, IPP_ERROR, NOT_FOUND, ADDED, OTHER_QUEUE };

std::optional<std::string> Answer(Canned canned, const std::string& request)
{
    switch (canned) {
    case SILENT: return std::nullopt;
    case HTTP_ERROR: return HttpStatusReply(500, "Internal Server Error");
    case IPP_ERROR: return IppStatusReply(request, IPP_STATUS_ERROR_INTERNAL);
    case NOT_FOUND: return IppStatusReply(request, IPP_STATUS_ERROR_NOT_FOUND);
    case ADDED: return IppStatusReply(request, IPP_STATUS_OK);
    case OTHER_QUEUE:
        return IppStatusReply(request, IPP_STATUS_OK, [](ipp_t* response) {
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, "socket://10.0.0.1:9100");
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-make-and-model", nullptr, "Raw");
        });
    }
    return std::nullopt;
}

struct ServerCase {
    const char* name;
    Canned listing, add, check;  // the answers to the queue listing, the add request and the question after it
    const char* ending;          // from the listing's error or the add request's answer on
};

void PrintTo(const ServerCase& c, std::ostream* os)
{
    *os << c.name;
}

class ServerAnswerTest : public RegistrationTest, public ::testing::WithParamInterface<ServerCase> {};

// With a two-second limit an unanswered request ends the run in seconds;
// libcups alone would wait minutes and then report "Success" for it.
TEST_P(ServerAnswerTest, FailsTheSetUp)
{
    const ServerCase& c = GetParam();
    CannedServer server([&c](const std::string& request) {
        const int operation = IppOperation(request);
        return Answer(operation == IPP_OP_CUPS_ADD_MODIFY_PRINTER      ? c.add
                      : operation == IPP_OP_GET_PRINTER_ATTRIBUTES ? c.check
                                                                   : c.listing,
                      request);
    });
    const ChildResult run = RunInstaller(ANSWERS, {{"CUPS_SERVER", "127.0.0.1"},
                                                   {"IPP_PORT", std::to_string(server.port())},
                                                   {"PRINTER_INSTALL_TIMEOUT", "2"}});
    const bool registers = c.listing == NOT_FOUND;
    const std::string expected = "++++ step2 cnt=3\n" +
                                 (registers ? PrinterListText(QUEUE, {}) + RegistrationStart(URI, QUEUE) : "") +
                                 c.ending + (registers ? "installation failed!!\n" : "") + LAN_FAILURE;
    EXPECT_TRUE(EndsWith(run.out, expected)) << "expected the end:\n" << expected << "\ngot:\n" << run.out;
    EXPECT_EQ(1, run.exitStatus);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ServerAnswerTest,
    ::testing::Values(
        // A listing that fails is no empty listing: a queue of the name
        // could be taken over.
        ServerCase{"ListingUnanswered", SILENT, SILENT, SILENT, "Error> http connection failed\n"},
        ServerCase{"ListingHttpError", HTTP_ERROR, ADDED, ADDED,
                   "Error> Printer list failed [Internal Server Error]\n"},
        ServerCase{"ListingIppError", IPP_ERROR, ADDED, ADDED,
                   "Error> Printer list failed [server-error-internal-error]\n"},
        ServerCase{"RegistrationUnanswered", NOT_FOUND, SILENT, SILENT, "Error> http connection failed\n"},
        // Success is said only for a queue that the server then holds as asked.
        ServerCase{"CheckUnanswered", NOT_FOUND, ADDED, SILENT,
                   "Add Printer status [successful-ok]\nError> http connection failed\n"},
        ServerCase{"QueueNotAsAsked", NOT_FOUND, ADDED, OTHER_QUEUE,
                   "Add Printer status [successful-ok]\nError> Printer [KORLA_tessa-300_ETHERNET] has device "
                   "[socket://10.0.0.1:9100] and PPD [Raw]\n"}),
    [](const ::testing::TestParamInfo<ServerCase>& info) { return std::string(info.param.name); });

}  // namespace

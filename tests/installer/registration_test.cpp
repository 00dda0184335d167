// Driver copy and registration: failures of the copy, of the machine-type
// query and of the server, seen through the Ethernet set-up.
#include "installer_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
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

TEST_F(RegistrationTest, SilentMachineTypeQuerySkipsFilterCopy)
{
    const ChildResult run = RunInstaller(ANSWERS, WithUname("exit 0"));
    const std::string copying = Between(run.out, "AddPrinter 2 ", "Add Printer status [");
    EXPECT_EQ(0u, copying.find("AddPrinter 2 \ncopy ppd file [KORLA_tessa-300.ppd]\nerror2 [cmd:uname -m]["))
        << copying;
    EXPECT_NE(std::string::npos, copying.find("]\n" + PpdCopyLine() +
                                              "copy Filter file [RasterToKPrinter]\nError> Machine type is unkown."))
        << copying;
    EXPECT_EQ(std::string::npos, copying.find(FilterCopyLine()));
    EXPECT_NE(0, access((cupsd_.serverBin() + "/filter/RasterToKPrinter").c_str(), F_OK));
}

// Without the PPD in the current folder the server does not know the
// ppd-name and refuses the request with its own status text.
TEST_F(RegistrationTest, ServerRefusingUnknownPpdFails)
{
    ASSERT_EQ(0, unlink((work_ / "KORLA_tessa-300.ppd").c_str()));
    const ChildResult run = RunInstaller(ANSWERS);
    EXPECT_EQ("AddPrinter 2 \n" + CopyText(false) +
                  "Add Printer status [cups-driverd failed to get PPD file - see error_log for details.]\n"
                  "installation failed!!\nInstall Fail!.\nCheck Connection LAN Cable or Printer Power.\n",
              run.out.substr(run.out.find("AddPrinter 2 ")));
    EXPECT_FALSE(cupsd_.Queue(QUEUE));
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

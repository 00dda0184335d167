// Who may change the printers: the local socket's clients (the server's
// user and root) alone, and only to devices the server may use. Any other
// account on the machine reaches the server over loopback like a stranger.
#include <sys/stat.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app_server.h"

namespace {

// A drawer pulse before every receipt.
const std::string SET_DRAWER_DEFAULT = IppRequest("Set-Printer-Attributes") +
                                       "GROUP printer-attributes-tag\nATTR keyword korla-cash-drawer-default 1\n"
                                       "STATUS successful-ok\n}\n";

class PrinterAppTrust : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = new AppServer;
        PrinterSetup setup;
        setup.statusInterval = 0;
        ASSERT_TRUE(server_->Start(setup));
    }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }
    static AppServer* server_;
};

AppServer* PrinterAppTrust::server_ = nullptr;

TEST_F(PrinterAppTrust, OnlyTheServersUserAndRootMayUseTheLocalSocket)
{
    struct stat st;
    ASSERT_EQ(0, stat((server_->folder() + "/korla-printer-app.sock").c_str(), &st));
    EXPECT_EQ(0u, st.st_mode & 077) << std::oct << (st.st_mode & 0777);
}

// The same change is refused from loopback and taken from the socket.
TEST_F(PrinterAppTrust, AdministrationOverLoopbackIsRefused)
{
    ASSERT_EQ("0", IppAttribute(*server_, "korla-cash-drawer-default"));
    const ChildResult loopback = server_->IppTool(SET_DRAWER_DEFAULT);
    EXPECT_NE(0, loopback.exitStatus);
    EXPECT_NE(std::string::npos, loopback.out.find("client-error-forbidden")) << loopback.out;
    EXPECT_EQ("0", IppAttribute(*server_, "korla-cash-drawer-default"));

    const ChildResult local = server_->AdminIppTool(SET_DRAWER_DEFAULT);
    EXPECT_EQ(0, local.exitStatus) << local.out << local.err;
    EXPECT_EQ("1", IppAttribute(*server_, "korla-cash-drawer-default"));
}

// A printer's device never makes the server write to a file of its
// choosing, nor open a file that is not a serial port present.
TEST_F(PrinterAppTrust, DevicesOtherThanPrintersAreRefused)
{
    const std::string target = server_->deviceFolder() + "/target";
    WriteFile(target, "kept\n");
    const std::string unlisted = server_->deviceFolder() + "/ttyUSB7";
    WriteFile(unlisted, "");
    for (const std::string& uri : {"file://" + target, "file:" + target, "file://" + server_->deviceFolder(),
                                   "serial:" + target + "?baud=9600", "serial:" + unlisted + "?baud=9600",
                                   "serial:" + server_->deviceFolder() + "/../" + "ttyUSB0?baud=9600"}) {
        const ChildResult added = server_->Run({"add", "-d", "other", "-v", uri, "-m", "korla_80mm"});
        EXPECT_NE(0, added.exitStatus) << uri;
        const ChildResult printers = server_->Run({"printers"});
        EXPECT_EQ(PRINTER + "\n", printers.out) << uri;
        server_->Run({"delete", "-d", "other"});
    }
    EXPECT_EQ("kept\n", ReadFile(target));
    EXPECT_EQ("", ReadFile(unlisted));
}

}  // namespace

// A server that serves the shop's network: anyone there may print, and
// only the holder of the admin password may change anything. The suite
// runs in a network namespace of its own, where the machine's address
// 10.213.0.1 (fd00:213::1) is no loopback address: its clients are
// strangers to the server, as the shop's other computers are.
#include <sched.h>

#include <string>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"

namespace {

const std::string ADDRESS = "10.213.0.1";
const std::string ADDRESS6 = "fd00:213::1";
const std::string PASSWORD = "Till2Drawer";

bool Ip(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {"/usr/sbin/ip"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const ChildResult run = RunChild(argv, {});
    if (run.exitStatus != 0)
        ADD_FAILURE() << "ip: " << run.err;
    return run.exitStatus == 0;
}

const std::string PRINT_PNG =
    IppRequest("Print-Job") + "ATTR mimeMediaType document-format image/png\nFILE $filename\nSTATUS successful-ok\n}\n";

class PrinterAppRemote : public ::testing::Test {
protected:
    // The namespace, then a server whose admin password was set from
    // loopback, serving every address.
    static void SetUpTestSuite()
    {
        ASSERT_EQ(0, unshare(CLONE_NEWNET)) << "no network namespace: " << strerror(errno);
        ASSERT_TRUE(Ip({"link", "set", "lo", "up"}));
        ASSERT_TRUE(Ip({"address", "add", ADDRESS + "/32", "dev", "lo"}));
        ASSERT_TRUE(Ip({"address", "add", ADDRESS6 + "/128", "dev", "lo", "nodad"}));

        server_ = new AppServer;
        PrinterSetup setup;
        setup.statusInterval = 0;
        ASSERT_TRUE(server_->Start(setup));
        std::string page;
        ASSERT_EQ(200, server_->PostForm("/security", "new_password=" + PASSWORD + "&new_password2=" + PASSWORD, &page));
        ASSERT_NE(std::string::npos, page.find("Password changed.")) << page;
        server_->SetServerOptions({"listen-hostname=*"});
        ASSERT_TRUE(server_->Restart());
        server_->SetClientHost(ADDRESS);
    }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }

    static ChildResult SetDefaultOverIpp()
    {
        return server_->IppTool(IppRequest("Set-Printer-Attributes") +
                                "GROUP printer-attributes-tag\nATTR keyword korla-cash-drawer-default 1\n"
                                "STATUS successful-ok\n}\n");
    }

    static AppServer* server_;
};

AppServer* PrinterAppRemote::server_ = nullptr;

// Without the password a server for the network does not start, and the
// first password can be set from loopback alone (the server listens
// nowhere else without one).
TEST_F(PrinterAppRemote, ServerForTheNetworkNeedsThePassword)
{
    const TempDir folder("korla-remote-");
    ChildOptions options;
    options.guardSeconds = 10;
    const ChildResult run = RunChild({APP_PATH, "--dir", folder.path(), "server", "-o",
                                      "server-port=" + std::to_string(FreeLoopbackPort()), "-o", "listen-hostname=*",
                                      "-o", "log-file=-"},
                                     options);
    EXPECT_NE(0, run.exitStatus);
    EXPECT_NE(std::string::npos, run.err.find("admin password")) << run.err;
}

// A client on the network changes nothing without the login: pages that
// change something ask for it, the log stays closed, and so does IPP
// administration.
TEST_F(PrinterAppRemote, ChangesNothingWithoutTheLogin)
{
    struct Change {
        std::string path;
        std::string fields;
    };
    for (const Change& change :
         {Change{"/" + PRINTER, "action=hold-new-jobs"},
          Change{"/addprinter", "printer_name=other&driver_name=korla_80mm&device_uri=network&hostname=10.0.0.9"},
          Change{"/" + PRINTER + "/delete", ""},
          Change{"/" + PRINTER + "/receipt", "korla-start-doc=Custom.%5Cx1b%5Cx70%5Cx00%5Cx19%5Cxfa"},
          Change{"/security", "old_password=&new_password=Other1Password&new_password2=Other1Password"}}) {
        std::string page;
        EXPECT_EQ(200, server_->PostForm(change.path, change.fields, &page)) << change.path;
        EXPECT_NE(std::string::npos, page.find("Login")) << change.path << "\n" << page;
    }
    EXPECT_EQ(std::string::npos, server_->WebPage("/logfile.txt").find("Accepted connection"));
    EXPECT_NE(0, SetDefaultOverIpp().exitStatus);

    EXPECT_EQ(PRINTER + "\n", server_->Run({"printers"}).out);
    const std::string receiptPage = server_->WebPage("/" + PRINTER + "/receipt");
    EXPECT_EQ(std::string::npos, receiptPage.find("x70")) << receiptPage;
}

// With the password the shop's owner changes settings from any computer.
TEST_F(PrinterAppRemote, ChangesWithTheLogin)
{
    server_->KeepCookies();
    std::string page;
    ASSERT_EQ(200, server_->PostForm("/" + PRINTER + "/receipt", "password=" + PASSWORD, &page));
    ASSERT_EQ(std::string::npos, page.find("Password incorrect")) << page;
    EXPECT_EQ(200, server_->PostForm("/" + PRINTER + "/receipt", "korla-start-doc=Custom.%5Cx1b%5Cx61%5Cx01&"
                                                                 "korla-end-doc=None",
                                     &page));
    EXPECT_NE(std::string::npos, page.find("Changes saved.")) << page;
}

// Printing stays open to the network, on IPv4 and on IPv6.
TEST_F(PrinterAppRemote, PrintsForAnyClientOnBothFamilies)
{
    const TempDir folder("korla-remote-");
    WriteFile(folder / "bar.png", BarPng(576, 40));
    for (const std::string& host : {ADDRESS, "[" + ADDRESS6 + "]"}) {
        server_->SetClientHost(host);
        const ChildResult printed = server_->IppTool(PRINT_PNG, {"filename=" + (folder / "bar.png")});
        EXPECT_EQ(0, printed.exitStatus) << host << "\n" << printed.out << printed.err;
        if (printed.exitStatus == 0) {
            EXPECT_TRUE(server_->NextJob().arrived) << host;
        }
    }
    server_->SetClientHost(ADDRESS);
}

}  // namespace

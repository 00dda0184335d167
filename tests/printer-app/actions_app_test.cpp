// What the printer application does besides printing documents, as a shop
// uses it: a drawer opened from the printer's page and with open-drawer,
// logos stored from the Logos page, the test receipt that shows them, and
// the printers that the add-printer page finds on serial ports.
#include <unistd.h>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"
#include "printer_bytes.h"
#include "pty_printer.h"

namespace {

const std::string DRAWER_1_PULSE = DrawerPulse(1, 50);  // 50 units of 2 ms, the printer's default
const std::string DRAWER_2_PULSE = DrawerPulse(2, 50);

// The value of the first hidden field of the name in a page.
std::string HiddenField(const std::string& page, const std::string& name)
{
    const std::string mark = "name=\"" + name + "\" value=\"";
    const size_t start = page.find(mark);
    if (start == std::string::npos)
        return "";
    const size_t value = start + mark.size();
    return page.substr(value, page.find('"', value) - value);
}

class PrinterAppActions : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = std::make_unique<AppServer>();
        started_ = server_->Start();
    }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override { ASSERT_TRUE(started_); }

    static std::unique_ptr<AppServer> server_;
    static bool started_;
};

std::unique_ptr<AppServer> PrinterAppActions::server_;
bool PrinterAppActions::started_ = false;

// The pulse alone, with the drawer's pulse time, and nothing printed.
TEST_F(PrinterAppActions, DrawerOpensFromThePageAndWithTheSubCommand)
{
    std::string page;
    ASSERT_EQ(200, server_->PostForm("/receipt/drawer", "drawer=1", &page));
    EXPECT_NE(std::string::npos, page.find("Drawer 1 opens")) << page;
    EXPECT_EQ(DRAWER_1_PULSE, server_->NextJob().bytes);

    const ChildResult run = server_->Run({"open-drawer", "-d", PRINTER, "--drawer", "2"});
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_EQ(DRAWER_2_PULSE, server_->NextJob().bytes);

    EXPECT_NE(0, server_->Run({"open-drawer", "-d", PRINTER, "--drawer", "3"}).exitStatus);
}

// Previewed, then stored by a job of the printer's queue; the same set a
// second time only when asked. The test receipt then lists the logo and
// prints it, and the printer holds it.
TEST_F(PrinterAppActions, LogosStoredFromTheirPageShowOnTheTestReceipt)
{
    const std::string image = server_->folder() + "/square.png";
    WriteFile(image, BlackPng(40, 40));
    std::string preview;
    ASSERT_EQ(200, server_->PostUploads("/receipt/logos", {"action=preview", "logo1=@" + image, "threshold=128"},
                                        &preview));
    EXPECT_NE(std::string::npos, preview.find("replaces every logo stored in the printer")) << preview;
    EXPECT_NE(std::string::npos, preview.find("src=\"data:image/png;base64,")) << preview;
    const std::string digest = HiddenField(preview, "digest");
    ASSERT_FALSE(digest.empty()) << preview;

    ASSERT_EQ(200, server_->PostForm("/receipt/logos", "action=store&digest=" + digest));
    const AppServer::PrinterJob stored = server_->NextJob();
    EXPECT_EQ(kInitialise + Bytes({0x1C, 0x71, 0x01, 0x05, 0x00, 0x05, 0x00}), stored.bytes.substr(0, 9));
    EXPECT_EQ(9u + 40 * 5, stored.bytes.size());

    ASSERT_EQ(200, server_->PostUploads("/receipt/logos", {"action=preview", "logo1=@" + image, "threshold=128"}));
    std::string refused;
    server_->PostForm("/receipt/logos", "action=store&digest=" + digest, &refused);
    EXPECT_NE(std::string::npos, refused.find("got these same logos last time")) << refused;

    std::string printed;
    ASSERT_EQ(200, server_->PostForm("/receipt", "action=print-test-page", &printed));
    const AppServer::PrinterJob receipt = server_->NextJob();
    ASSERT_TRUE(receipt.arrived);
    for (const char* line : {"text \"TEST RECEIPT\"", "text \"Printer: receipt\"",
                             "text \"Model: KORLA Tessa-300 (80 mm roll)\"", "text \"Paper: 80 mm, 576 dots across\"",
                             "text \"Link: Network, 127.0.0.1 port ", "text \"Status: on line, paper loaded (12 12 12 12)\"",
                             "text \"  Cut Mode: Partial cut after feeding\"", "text \"  Drawer 1 Pulse: 100 ms\"",
                             "GS v 0 raster image 72 bytes x 24 rows", "text \"Logos stored: 1\"",
                             "text \"Logo 1, 40x40 dots:\"", "FS p 1 0", "GS v 0 raster image 72 bytes x 48 rows",
                             "GS V 66 0"})
        EXPECT_EQ(1, CountLines(receipt.listing, line)) << line << "\n" << receipt.listing;
    EXPECT_EQ(std::string::npos, receipt.listing.find("-- missing")) << receipt.listing;
    EXPECT_EQ(std::string::npos, receipt.listing.find("ERROR")) << receipt.listing;
}

// A printer that answers the installer's probe, and a port where none does:
// the printer comes first, the silent port keeps its line settings. An
// address typed beside the list's first entry adds the network printer.
TEST(PrinterAppWebPage, OffersThePrintersFoundAndTakesATypedAddress)
{
    AppServer server;
    ASSERT_TRUE(server.Start());
    PtyPrinter answering(0x12), silent(std::nullopt);
    ASSERT_TRUE(answering.ok() && silent.ok());
    termios before = *silent.LineSettings();
    cfsetspeed(&before, B9600);
    ASSERT_TRUE(silent.SetLineSettings(before));
    ASSERT_EQ(0, symlink(answering.slavePath().c_str(), (server.deviceFolder() + "/ttyUSB3").c_str()));
    ASSERT_EQ(0, symlink(silent.slavePath().c_str(), (server.deviceFolder() + "/ttyUSB4").c_str()));

    const std::string page = server.WebPage("/addprinter");
    const size_t found = page.find("KORLA Tessa-300 on USB-to-serial adapter ttyUSB3</option>");
    const size_t notFound = page.find("USB-to-serial adapter ttyUSB4 (no printer answered)</option>");
    ASSERT_NE(std::string::npos, found) << page;
    ASSERT_NE(std::string::npos, notFound) << page;
    EXPECT_LT(found, notFound);
    EXPECT_LT(0, answering.requestsSeen());
    EXPECT_LT(0, silent.requestsSeen());
    const termios after = *silent.LineSettings();
    EXPECT_EQ(B9600, cfgetospeed(&after));
    EXPECT_EQ(std::string::npos, page.find("9100")) << page;

    const std::string firstEntry = UrlEncoded("serial:" + server.deviceFolder() + "/ttyUSB3");
    const std::string address = server.DeviceUri().substr(sizeof "socket://" - 1);
    ASSERT_EQ(302, server.PostForm("/addprinter", "printer_name=typed&driver_name=korla_80mm&device_uri=" + firstEntry +
                                                      "&hostname=" + address));
    EXPECT_NE(std::string::npos, server.WebPage("/typed/device").find("<code>" + server.DeviceUri() + "</code>"));
}

}  // namespace

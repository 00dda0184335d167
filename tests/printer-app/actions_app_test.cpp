// What the printer application does besides printing documents, as a shop
// uses it: a drawer opened from the printer's page and with open-drawer,
// logos stored from the Logos page and the test receipt that shows them.
#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"

namespace {

const std::string DRAWER_1_PULSE("\x1b\x70\x30\x32\x32", 5);  // 50 units of 2 ms, the printer's default
const std::string DRAWER_2_PULSE("\x1b\x70\x31\x32\x32", 5);

// Black on white: a square of 40 dots.
std::string SquarePng()
{
    PngSpec spec;
    spec.width = spec.height = 40;
    spec.rows.assign(40 * 40, 0);
    return EncodePng(spec);
}

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
    WriteFile(image, SquarePng());
    std::string preview;
    ASSERT_EQ(200, server_->PostUploads("/receipt/logos", {"action=preview", "logo1=@" + image, "threshold=128"},
                                        &preview));
    EXPECT_NE(std::string::npos, preview.find("replaces every logo stored in the printer")) << preview;
    EXPECT_NE(std::string::npos, preview.find("src=\"data:image/png;base64,")) << preview;
    const std::string digest = HiddenField(preview, "digest");
    ASSERT_FALSE(digest.empty()) << preview;

    ASSERT_EQ(200, server_->PostForm("/receipt/logos", "action=store&digest=" + digest));
    const AppServer::PrinterJob stored = server_->NextJob();
    EXPECT_EQ(std::string("\x1b\x40\x1c\x71\x01\x05\x00\x05\x00", 9), stored.bytes.substr(0, 9));
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

}  // namespace

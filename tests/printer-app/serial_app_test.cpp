// The printer application with a serial printer, the emulator on a
// pseudo-terminal, both set up on the web page as a shop would: a PDF
// from a private cupsd's driverless queue reaches it with the line settings
// chosen. And a network printer set up on the same page.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app_server.h"
#include "line_speed.h"
#include "printer_bytes.h"
#include "private_cupsd.h"
#include "raster_writer.h"

namespace {

const std::string PARTIAL_CUT = Hex(kPartialCut);

// Prints the file through a private cupsd's driverless queue for the
// server's printer, as another computer of the shop would.
void PrintThroughCups(AppServer& server, const std::string& file)
{
    PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Start());
    ASSERT_TRUE(AddDriverlessQueue(cupsd, "till", server.PrinterUri()));
    ChildOptions client;
    client.environment = cupsd.ClientEnvironment();
    const ChildResult printed = RunChild({"/usr/bin/lp", "-d", "till", file}, client);
    ASSERT_EQ(0, printed.exitStatus) << printed.out << printed.err;
    const AppServer::PrinterJob job = server.NextJob();
    ASSERT_TRUE(job.arrived) << ReadFile(cupsd.errorLog());
    EXPECT_LE(1, CountWords(job.receipt.outline, IMAGE)) << job.listing;
    EXPECT_EQ(1, CountWords(job.receipt.outline, PARTIAL_CUT)) << job.listing;
}

class PrinterAppSerial : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        PrinterSetup setup;
        setup.serial = true;
        // A pseudo-terminal keeps the speed and the flow control; it
        // refuses parity and always has 8 data bits.
        setup.serialSettings = "baud=19200+bits=8+parity=none+flow=soft";
        setup.addedOnWebPage = true;
        setup.statusInterval = 1;
        server_ = std::make_unique<AppServer>();
        started_ = server_->Start(setup);
    }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override { ASSERT_TRUE(started_); }

    static std::unique_ptr<AppServer> server_;
    static bool started_;
};

std::unique_ptr<AppServer> PrinterAppSerial::server_;
bool PrinterAppSerial::started_ = false;

TEST_F(PrinterAppSerial, PdfFromADriverlessQueueReachesThePortWithItsLineSettings)
{
    PrintThroughCups(*server_, std::string(PROJECT_SOURCE_DIR) + "/tests/e2e/data/receipt.pdf");

    // The pseudo-terminal keeps what the application set on its side.
    const int fd = open(server_->SerialPort().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_LE(0, fd);
    termios settings{};
    ASSERT_EQ(0, tcgetattr(fd, &settings));
    EXPECT_EQ(19200, PortSpeed(fd));
    close(fd);
    EXPECT_TRUE(settings.c_iflag & IXON);
    EXPECT_FALSE(settings.c_cflag & CRTSCTS);
}

// Identify-Printer: the printer has no light or sound, it prints a slip
// with the message, its text kept to printable ASCII.
TEST_F(PrinterAppSerial, IdentifyPrintsASlipWithTheMessage)
{
    const ChildResult run = server_->IppTool(
        "{\nOPERATION Identify-Printer\nGROUP operation-attributes-tag\n"
        "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
        "ATTR uri printer-uri $uri\nATTR keyword identify-actions display\n"
        "ATTR text message \"Till 2 \xc3\xa0 gauche\"\nSTATUS successful-ok\n}\n");
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const AppServer::PrinterJob slip = server_->NextJob();
    ASSERT_TRUE(slip.arrived);
    EXPECT_EQ(kInitialise + "Till 2 ?? gauche\n" + kFeedBeforeCut + kPartialCut, slip.bytes) << slip.listing;
}

TEST_F(PrinterAppSerial, DrawerOpensOverTheSerialLine)
{
    const ChildResult run = server_->Run({"open-drawer", "-d", PRINTER});
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_EQ(DrawerPulse(1, 50), server_->NextJob().bytes);
}

// The Device page changes the line's settings; the printer is made again
// with them and with its receipt settings, and its test receipt, asking
// the printer's status over the line, meets the port at the new speed.
TEST_F(PrinterAppSerial, DevicePageChangesTheLineSettingsAndKeepsTheRest)
{
    const auto change = [](const std::string& baud, const std::string& flow) {
        std::string page;
        EXPECT_EQ(200, server_->PostForm("/receipt/device", "baud=" + baud + "&bits=8&parity=none&flow=" + flow, &page));
        EXPECT_NE(std::string::npos, page.find("now reached at serial:" + server_->SerialPort() + "?baud=" + baud))
            << page;
    };
    const auto setCut = [](const std::string& cut) {
        EXPECT_EQ(0, server_->Run({"modify", "-d", PRINTER, "-o", "korla-paper-source-default=" + cut}).exitStatus);
    };
    setCut("NoCut");
    change("9600", "none");
    ASSERT_EQ(200, server_->PostForm("/receipt", "action=print-test-page"));
    const AppServer::PrinterJob receipt = server_->NextJob();
    EXPECT_EQ(1, CountLines(receipt.listing, "Line: 9600 baud, 8 data bits, no parity, no flow")) << receipt.listing;
    EXPECT_EQ(1, CountLines(receipt.listing, "Status: on line, paper loaded")) << receipt.listing;
    EXPECT_EQ(1, CountLines(receipt.listing, "Cut Mode: No cut, feed six lines")) << receipt.listing;
    EXPECT_EQ(1, CountWords(receipt.receipt.outline, Hex(kFeedSixLines))) << receipt.listing;
    const int fd = open(server_->SerialPort().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_LE(0, fd);
    EXPECT_EQ(9600, PortSpeed(fd));
    close(fd);
    change("19200", "soft");
    setCut("PartialCut");
}

// Prints a one-bit PWG raster with ipptool, which returns once the job is
// done: PAPPL prints a raster as it comes.
// A job cancelled while the serial printer takes its image leaves the
// printer clean: the image is completed with blank rows, ESC @ ends it,
// and the next job comes out exactly as it would have alone.
TEST(PrinterAppSerialCancel, CancelledJobLeavesTheNextJobExact)
{
    PrinterSetup setup;
    setup.serial = true;
    // A long image takes seconds, far more than the link's buffers hold.
    setup.emulatorOptions = {"--bytes-per-second", "40000"};
    AppServer server;
    ASSERT_TRUE(server.Start(setup));
    const TempDir documents("korla-cancel-");
    const std::string shortReceipt = documents / "short.pwg";
    const std::string longReceipt = documents / "long.pwg";
    WriteRaster(shortReceipt, {PageWithBlankTail(72, 60, 10)}, RasterFormat::Pwg);
    const unsigned longRows = 1500;  // within the default 200 mm receipt
    WriteRaster(longReceipt, {PageWithBlankTail(72, longRows, 10)}, RasterFormat::Pwg);

    ASSERT_EQ(0, server.PrintRaster(shortReceipt).exitStatus);
    const AppServer::PrinterJob alone = server.NextJob();
    ASSERT_TRUE(alone.arrived);

    // One image for the whole receipt, so that the cancel comes inside it.
    std::thread printing(
        [&server, &longReceipt] { server.PrintRaster(longReceipt, "ATTR keyword korla-faster-printing 0"); });
    const std::string job = server.ProcessingJob();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const ChildResult cancelled = server.Run({"cancel", "-d", PRINTER, "-j", job});
    printing.join();
    EXPECT_EQ(0, cancelled.exitStatus) << cancelled.out << cancelled.err;
    const AppServer::PrinterJob cut = server.NextJob();
    ASSERT_TRUE(cut.arrived);
    ASSERT_EQ(0, CountWords(cut.receipt.outline, PARTIAL_CUT)) << "cancelled too late:\n" << cut.listing;
    // The image begun is there whole, its rows after the cancel blank, and
    // ESC @ ends the job.
    const size_t image = cut.bytes.find(kImageCommandStart);
    ASSERT_NE(std::string::npos, image) << cut.listing;
    const std::string rows = cut.bytes.substr(image + 8, cut.bytes.size() - image - 8 - 2);
    ASSERT_EQ(72u * longRows, rows.size()) << cut.listing;
    EXPECT_NE(BlankRow(72), rows.substr(0, 72));
    EXPECT_EQ(BlankRow(72), rows.substr(rows.size() - 72));
    EXPECT_EQ(kInitialise, cut.bytes.substr(cut.bytes.size() - 2));
    EXPECT_EQ(std::string::npos, cut.listing.find("held over")) << cut.listing;

    ASSERT_EQ(0, server.PrintRaster(shortReceipt).exitStatus);
    const AppServer::PrinterJob next = server.NextJob();
    ASSERT_TRUE(next.arrived);
    EXPECT_EQ(alone.bytes, next.bytes);
    EXPECT_EQ(std::string::npos, next.listing.find("carried over")) << next.listing;
}

TEST(PrinterAppWebPage, AddsANetworkPrinterByItsAddress)
{
    PrinterSetup setup;
    setup.addedOnWebPage = true;
    AppServer server;
    ASSERT_TRUE(server.Start(setup));
    PrintThroughCups(server, std::string(PROJECT_SOURCE_DIR) + "/tests/e2e/data/two-pages.txt");
}

// What cannot make a printer is refused on the page, with the reason, and
// no printer is added.
TEST_F(PrinterAppSerial, WebPageRefusesWhatCannotBeAPrinter)
{
    struct Refused {
        const char* fields;
        const char* reason;
    };
    for (const Refused& refused :
         {Refused{"printer_name=other&driver_name=korla_80mm&device_uri=network&hostname=till%20printer",
                  "is not a host name"},
          Refused{"printer_name=other&driver_name=korla_80mm&device_uri=file%3A%2F%2F%2Ftmp%2Fx", "no longer there"},
          Refused{"printer_name=other&driver_name=korla_99mm&device_uri=network&hostname=10.0.0.1", "unknown driver"},
          Refused{"printer_name=receipt&driver_name=korla_80mm&device_uri=network&hostname=10.0.0.1",
                  "exists already"}}) {
        std::string page;
        EXPECT_EQ(200, server_->PostForm("/addprinter", refused.fields, &page)) << refused.fields;
        EXPECT_NE(std::string::npos, page.find(refused.reason)) << refused.fields << "\n" << page;
    }
    const ChildResult printers = server_->Run({"printers"});
    EXPECT_EQ(PRINTER + "\n", printers.out);
}

}  // namespace

// The printer application as a shop uses it: korla-printer-app on a free
// loopback port with a private folder, the emulator as its network printer,
// jobs from ipptool and from a private cupsd's driverless queue, defaults
// set over IPP and on the web page.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app_server.h"
#include "filter_runner.h"
#include "png_files.h"
#include "printer_bytes.h"
#include "private_cupsd.h"
#include "raster_writer.h"

namespace {

const std::string PARTIAL_CUT = Hex(kPartialCut);
const std::string NO_CUT_FEED = Hex(kFeedSixLines);
const std::string DRAWER_PULSE = "1B 70";  // ESC p, either drawer
const std::string FEED = "1B 4A";          // ESC J

// Print-Job with one job attribute; the document format and file come as
// -d definitions.
std::string PrintJobTest(const std::string& jobAttribute = "")
{
    return IppRequest("Print-Job") + "ATTR mimeMediaType document-format $format\n"
           "GROUP job-attributes-tag\nATTR integer copies $copies\n" +
           jobAttribute + "\nFILE $filename\nSTATUS successful-ok\n}\n";
}

std::string SetDefaultTest(const std::string& attribute)
{
    return IppRequest("Set-Printer-Attributes") + "GROUP printer-attributes-tag\n" +
           attribute + "\nSTATUS successful-ok\n}\n";
}

// The row placed on a wider row, starting at dot `offset`.
std::string Placed(const std::string& row, unsigned offset, unsigned bytesPerLine)
{
    std::string wide(bytesPerLine, '\0');
    for (size_t dot = 0; dot < row.size() * 8; ++dot) {
        if ((static_cast<unsigned char>(row[dot / 8]) >> (7 - dot % 8)) & 1) {
            const size_t to = dot + offset;
            wide[to / 8] = static_cast<char>(wide[to / 8] | (0x80 >> (to % 8)));
        }
    }
    return wide;
}

class PrinterApp : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = std::make_unique<AppServer>();
        started_ = server_->Start();
        documents_ = std::make_unique<TempDir>("korla-app-documents-");
        WriteFile(*documents_ / "bar.png", BarPng(576, 200));
    }
    static void TearDownTestSuite()
    {
        server_.reset();
        documents_.reset();
    }
    void SetUp() override { ASSERT_TRUE(started_); }

    static AppServer::PrinterJob Print(const std::string& format, const std::string& file, int copies = 1,
                                       const std::string& jobAttribute = "")
    {
        const ChildResult run = server_->IppTool(
            PrintJobTest(jobAttribute), {"format=" + format, "filename=" + file, "copies=" + std::to_string(copies)});
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        return server_->NextJob();
    }
    static AppServer::PrinterJob PrintBar(int copies = 1) { return Print("image/png", *documents_ / "bar.png", copies); }

    static void SetDefault(const std::string& attribute)
    {
        const ChildResult run = server_->AdminIppTool(SetDefaultTest(attribute));
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    }

    static std::unique_ptr<AppServer> server_;
    static std::unique_ptr<TempDir> documents_;
    static bool started_;
};

std::unique_ptr<AppServer> PrinterApp::server_;
std::unique_ptr<TempDir> PrinterApp::documents_;
bool PrinterApp::started_ = false;

TEST_F(PrinterApp, PngPrintsOnceForEveryCopyWithItsCut)
{
    const AppServer::PrinterJob job = PrintBar(2);
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(2, CountWords(job.receipt.outline, IMAGE)) << job.listing;
    EXPECT_EQ(2, CountWords(job.receipt.outline, PARTIAL_CUT)) << job.listing;
    EXPECT_EQ(kInitialise, job.bytes.substr(job.bytes.size() - 2));
}

// A one-bit PWG raster as wide as the 80 mm page, its printable middle
// the 576-dot page the filter gets: with the blank rows kept and faster
// printing off (the PPD's default), the printer gets the filter's bytes;
// trimmed, the rows above the content are gone.
TEST_F(PrinterApp, OneBitPwgRasterGivesTheFiltersBytes)
{
    const unsigned blankAbove = 30, inkRows = 40, blankBelow = 25;
    RasterPage narrow = PageWithBlankTail(72, inkRows, blankBelow);
    narrow.rows.insert(narrow.rows.begin(), blankAbove, BlankRow(72));
    RasterPage page{639, 80, {}};
    for (const std::string& row : narrow.rows)
        page.rows.push_back(Placed(row, 31, 80));
    const std::string pwg = *documents_ / "page.pwg";
    const std::string cupsRaster = *documents_ / "page.ras";
    WriteRaster(pwg, {page}, RasterFormat::Pwg);
    WriteRaster(cupsRaster, {narrow}, RasterFormat::Cups);

    FilterInvocation invocation;
    invocation.args = JobArgs(1, cupsRaster);
    invocation.ppd = SHIPPED_PPD;
    const FilterRun filter = RunFilter(invocation);
    ASSERT_EQ(0, filter.exitStatus) << filter.errorOutput;

    const AppServer::PrinterJob kept = Print("image/pwg-raster", pwg, 1,
                                             "ATTR keyword korla-trim-blank-rows Keep\n"
                                             "ATTR keyword korla-faster-printing 0");
    ASSERT_TRUE(kept.arrived);
    EXPECT_EQ(Joined(filter.writes), kept.bytes);

    const AppServer::PrinterJob trimmed = Print("image/pwg-raster", pwg);
    ASSERT_TRUE(trimmed.arrived);
    ASSERT_EQ(1u, trimmed.receipt.images.size()) << trimmed.listing;
    EXPECT_EQ(72u, trimmed.receipt.images[0].bytesPerRow);
    EXPECT_EQ(inkRows, trimmed.receipt.images[0].rows);
}

// Faster printing is on unless a job or the printer turns it off: the
// blank rows between two bands of ink go out as a paper feed, and each
// band only as wide as its ink.
TEST_F(PrinterApp, FasterPrintingFeedsTheGapsAndNarrowsTheImages)
{
    RasterPage page{576, 72, {}};
    const std::string narrowInk = InkRow(20) + std::string(52, '\0');
    page.rows.insert(page.rows.end(), 30, narrowInk);
    page.rows.insert(page.rows.end(), 50, BlankRow(72));
    page.rows.insert(page.rows.end(), 30, InkRow(72));
    const std::string pwg = *documents_ / "bands.pwg";
    WriteRaster(pwg, {page}, RasterFormat::Pwg);

    const AppServer::PrinterJob faster = Print("image/pwg-raster", pwg);
    ASSERT_TRUE(faster.arrived);
    const std::vector<PageImage>& bands = faster.receipt.images;
    ASSERT_EQ(2u, bands.size()) << faster.listing;
    EXPECT_GE(20u, bands[0].bytesPerRow) << faster.listing;
    EXPECT_EQ(30u, bands[0].rows);
    EXPECT_EQ(30u, bands[1].rows);
    EXPECT_LT(bands[0].bytesPerRow, bands[1].bytesPerRow);
    const std::vector<std::string>& outline = faster.receipt.outline;
    const auto firstImage = std::find(outline.begin(), outline.end(), IMAGE);
    EXPECT_LT(0, CountWords({firstImage, outline.end()}, FEED)) << faster.listing;

    const AppServer::PrinterJob plain = Print("image/pwg-raster", pwg, 1, "ATTR keyword korla-faster-printing 0");
    ASSERT_TRUE(plain.arrived);
    const std::vector<PageImage>& whole = plain.receipt.images;
    ASSERT_EQ(1u, whole.size()) << plain.listing;
    EXPECT_EQ(72u, whole[0].bytesPerRow);
    EXPECT_EQ(110u, whole[0].rows);
}

TEST_F(PrinterApp, RasterDocumentIsPrintedOnceForEveryCopy)
{
    const std::string pwg = *documents_ / "two-pages.pwg";
    WriteRaster(pwg, {PageWithBlankTail(80, 20, 5), PageWithBlankTail(80, 30, 5)}, RasterFormat::Pwg);
    const AppServer::PrinterJob job = Print("image/pwg-raster", pwg, 2);
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(4, CountWords(job.receipt.outline, IMAGE)) << job.listing;
    EXPECT_EQ(2, CountWords(job.receipt.outline, PARTIAL_CUT)) << job.listing;
}

struct RefusedValue {
    const char* attribute;
};

class PrinterAppRefuses : public PrinterApp, public ::testing::WithParamInterface<RefusedValue> {};

// PAPPL takes the job; the printer gets not one byte of it.
TEST_P(PrinterAppRefuses, ValueOutsideItsChoices)
{
    const AppServer::PrinterJob job = Print("image/png", *documents_ / "bar.png", 1, GetParam().attribute);
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ("", job.bytes);
}

INSTANTIATE_TEST_SUITE_P(, PrinterAppRefuses,
                         ::testing::Values(RefusedValue{"ATTR keyword korla-paper-source Guillotine"},
                                           RefusedValue{"ATTR keyword korla-cash-drawer 4"},
                                           RefusedValue{"ATTR integer korla-cash-drawer-1-pulse-width 60"},
                                           RefusedValue{"ATTR text korla-end-doc \"Custom.\\\\xZZ\""}));

TEST_F(PrinterApp, DefaultSetOverIppReachesTheNextJob)
{
    SetDefault("ATTR keyword korla-paper-source-default NoCut");
    const AppServer::PrinterJob job = PrintBar();
    SetDefault("ATTR keyword korla-paper-source-default PartialCut");
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(0, CountWords(job.receipt.outline, PARTIAL_CUT)) << job.listing;
    EXPECT_EQ(1, CountWords(job.receipt.outline, NO_CUT_FEED)) << job.listing;
}

TEST_F(PrinterApp, JobValueOverridesTheDefault)
{
    const AppServer::PrinterJob job =
        Print("image/png", *documents_ / "bar.png", 1, "ATTR text korla-end-doc \"Custom.\\\\x1b\\\\x61\\\\x1\"");
    ASSERT_TRUE(job.arrived);
    EXPECT_NE(std::string::npos, job.bytes.find(Bytes({0x1B, 0x61, 0x01}) + kInitialise)) << job.listing;
}

// Posts the fields to a web page's form with its session token, as a
// browser would; returns the page that comes back.
std::string PostForm(const std::string& url, const std::vector<std::string>& fields)
{
    const ChildResult page = RunChild({"/usr/bin/curl", "-s", url}, {});
    const std::string mark = "name=\"session\" value=\"";
    const size_t start = page.out.find(mark);
    EXPECT_NE(std::string::npos, start) << page.out;
    if (start == std::string::npos)
        return "";
    const size_t tokenStart = start + mark.size();
    std::vector<std::string> argv = {"/usr/bin/curl", "-s", "--fail", "--data-urlencode",
                                     "session=" + page.out.substr(tokenStart, page.out.find('"', tokenStart) - tokenStart)};
    for (const std::string& field : fields) {
        argv.push_back("--data-urlencode");
        argv.push_back(field);
    }
    argv.push_back(url);
    const ChildResult post = RunChild(argv, {});
    EXPECT_EQ(0, post.exitStatus) << post.err;
    return post.out;
}

// The printing defaults form, PAPPL's own page.
TEST_F(PrinterApp, DefaultSetOnTheWebPageReachesTheNextJob)
{
    const std::string answer = PostForm(server_->WebUrl("/" + PRINTER + "/printing"), {"korla-cash-drawer=1"});
    EXPECT_NE(std::string::npos, answer.find("Changes saved.")) << answer;

    const AppServer::PrinterJob job = PrintBar();
    SetDefault("ATTR keyword korla-cash-drawer-default 0");
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(1, CountWords(job.receipt.outline, DRAWER_PULSE)) << job.listing;
}

// The receipt page takes the custom bytes in the PPD's notation and
// refuses, storing nothing, a form with one value outside it.
TEST_F(PrinterApp, ReceiptPageStoresOnlyValidCustomBytes)
{
    const std::string url = server_->WebUrl("/" + PRINTER + "/receipt");
    const std::string refused =
        PostForm(url, {"korla-start-doc=Custom.\\x1b\\x61\\x1", "korla-end-doc=Custom.\\x1b\\xZZ"});
    EXPECT_NE(std::string::npos, refused.find("Nothing was saved.")) << refused;
    const AppServer::PrinterJob unchanged = PrintBar();
    ASSERT_TRUE(unchanged.arrived);
    EXPECT_EQ(kInitialise, unchanged.bytes.substr(0, 2));
    EXPECT_EQ(std::string::npos, unchanged.bytes.find(Bytes({0x1B, 0x61, 0x01}))) << unchanged.listing;

    const std::string saved = PostForm(url, {"korla-start-doc=Custom.\\x1b\\x61\\x1", "korla-end-doc=None"});
    EXPECT_NE(std::string::npos, saved.find("Changes saved.")) << saved;
    const AppServer::PrinterJob job = PrintBar();
    SetDefault("ATTR text korla-start-doc-default None");
    ASSERT_TRUE(job.arrived);
    EXPECT_NE(std::string::npos, job.bytes.find(Bytes({0x1B, 0x61, 0x01}))) << job.listing;
}

// CUPS's driverless queue renders text and PDF for the application, one
// cut at the end of each receipt.
TEST_F(PrinterApp, DriverlessCupsQueuePrintsTextAndPdf)
{
    PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Start());
    ChildOptions client;
    client.environment = cupsd.ClientEnvironment();
    ASSERT_TRUE(AddDriverlessQueue(cupsd, "till", server_->PrinterUri()));
    const auto print = [&](const std::string& file, int copies) {
        const ChildResult printed = RunChild({"/usr/bin/lp", "-d", "till", "-n", std::to_string(copies),
                                              std::string(PROJECT_SOURCE_DIR) + "/tests/e2e/data/" + file},
                                             client);
        EXPECT_EQ(0, printed.exitStatus) << printed.out << printed.err;
        const AppServer::PrinterJob job = server_->NextJob();
        EXPECT_TRUE(job.arrived) << file << "\n" << ReadFile(cupsd.errorLog());
        return job;
    };

    for (const char* file : {"two-pages.txt", "receipt.pdf"}) {
        const AppServer::PrinterJob job = print(file, 1);
        EXPECT_LE(1u, job.receipt.images.size()) << job.listing;
        EXPECT_EQ(1, CountWords(job.receipt.outline, PARTIAL_CUT)) << file << "\n" << job.listing;
    }

    // CUPS 2.4 writes "cupsManualCopies: True" into the driverless PPD of a
    // printer that does not take PDF, repeats the pages itself and sends one
    // copy: every page arrives twice, behind one cut.
    const size_t once = print("receipt.pdf", 1).receipt.images.size();
    const AppServer::PrinterJob twice = print("receipt.pdf", 2);
    EXPECT_EQ(2 * once, twice.receipt.images.size()) << twice.listing;
    EXPECT_EQ(1, CountWords(twice.receipt.outline, PARTIAL_CUT)) << twice.listing;
}

}  // namespace

// The whole receipt, as it looks: long documents print to their end, greys
// are dithered or kept sharp as the job asks (the emulator's paper
// compared with the document), and a driverless CUPS queue fits a page to
// the printable width; a raw CUPS queue passes copies and the receipt
// settings on.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"
#include "private_cupsd.h"
#include "raster_writer.h"
#include "test_pictures.h"

namespace {

constexpr unsigned HEAD = 576;

std::string PrintJobTest(const std::string& jobAttributes)
{
    return "{\nOPERATION Print-Job\nGROUP operation-attributes-tag\n"
           "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
           "ATTR uri printer-uri $uri\nATTR name requesting-user-name test\n"
           "ATTR mimeMediaType document-format $format\nGROUP job-attributes-tag\n" +
           jobAttributes + "\nFILE $filename\nSTATUS successful-ok\n}\n";
}

// Rows of the raster images of a listing.
std::vector<int> ImageRows(const std::string& listing)
{
    std::vector<int> rows;
    const std::string mark = "GS v 0 raster image ";
    for (size_t at = listing.find(mark); at != std::string::npos; at = listing.find(mark, at + 1)) {
        int bytes = 0, height = 0;
        if (sscanf(listing.c_str() + at + mark.size(), "%d bytes x %d rows", &bytes, &height) == 2)
            rows.push_back(height);
    }
    return rows;
}

std::string GreyPwg(const TempDir& folder, const GreyPicture& picture)
{
    RasterPage page{picture.width, picture.width, {}};
    page.bitsPerPixel = 8;
    for (unsigned y = 0; y < picture.height; ++y)
        page.rows.emplace_back(reinterpret_cast<const char*>(&picture.pixels[size_t{y} * picture.width]), picture.width);
    WriteRaster(folder / "grey.pwg", {page}, RasterFormat::Pwg);
    return ReadFile(folder / "grey.pwg");
}

// A picture black in its top and bottom rows, white between.
GreyPicture Tall(unsigned height)
{
    GreyPicture picture{HEAD, height, std::vector<unsigned char>(size_t{HEAD} * height, 255)};
    for (unsigned y : {0u, 1u, 2u, 3u, height - 4, height - 3, height - 2, height - 1})
        std::fill_n(picture.pixels.begin() + size_t{y} * HEAD, HEAD, 0);
    return picture;
}

class PrinterAppWholeReceipt : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = std::make_unique<AppServer>();
        started_ = server_->Start();
        documents_ = std::make_unique<TempDir>("korla-app-whole-");
    }
    static void TearDownTestSuite()
    {
        server_.reset();
        documents_.reset();
    }
    void SetUp() override { ASSERT_TRUE(started_); }

    static AppServer::PrinterJob Print(const std::string& format, const std::string& content,
                                       const std::string& jobAttributes = "")
    {
        const std::string file = *documents_ / "document";
        WriteFile(file, content);
        const ChildResult run = server_->IppTool(PrintJobTest(jobAttributes), {"format=" + format, "filename=" + file});
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        return server_->NextJob();
    }

    static std::unique_ptr<AppServer> server_;
    static std::unique_ptr<TempDir> documents_;
    static bool started_;
};

std::unique_ptr<AppServer> PrinterAppWholeReceipt::server_;
std::unique_ptr<TempDir> PrinterAppWholeReceipt::documents_;
bool PrinterAppWholeReceipt::started_ = false;

// A 375 mm PWG page and 576 x 4000 images (500 mm), longer than the
// default medium's 200 mm: one image of every row, the last row's ink
// included.
TEST_F(PrinterAppWholeReceipt, LongDocumentsPrintWhole)
{
    const unsigned pwgRows = 375 * 2030 / 254;
    RasterPage page = PageWithBlankTail(HEAD / 8, 0, 0);
    page.rows.assign(pwgRows, BlankRow(HEAD / 8));
    page.rows.front() = page.rows.back() = InkRow(HEAD / 8);
    WriteRaster(*documents_ / "tall.pwg", {page}, RasterFormat::Pwg);

    const struct {
        std::string format;
        std::string content;
        int rows;
    } documents[] = {
        {"image/pwg-raster", ReadFile(*documents_ / "tall.pwg"), static_cast<int>(pwgRows)},
        {"image/png", GreyPng(Tall(4000)), 4000},
        {"image/jpeg", GreyJpeg(Tall(4000)), 4000},
    };
    for (const auto& document : documents) {
        const AppServer::PrinterJob job = Print(document.format, document.content, "ATTR keyword korla-faster-printing 0");
        ASSERT_TRUE(job.arrived) << document.format;
        EXPECT_EQ(std::vector<int>{document.rows}, ImageRows(job.listing)) << document.format << "\n" << job.listing;
    }
}

// A page longer than the longest receipt stops there, and the job says so.
TEST_F(PrinterAppWholeReceipt, TooLongPageStopsAtTheLongestReceipt)
{
    RasterPage page{HEAD, HEAD / 8, {InkRow(HEAD / 8)}};
    page.repeatedRow = InkRow(HEAD / 8);
    page.repeats = 24100;
    WriteRaster(*documents_ / "too-long.pwg", {page}, RasterFormat::Pwg);
    const std::string jobState = "{\nOPERATION Get-Job-Attributes\nGROUP operation-attributes-tag\n"
                                 "ATTR charset attributes-charset utf-8\n"
                                 "ATTR naturalLanguage attributes-natural-language en\n"
                                 "ATTR uri printer-uri $uri\nATTR integer job-id $job-id\n"
                                 "STATUS successful-ok\nDELAY \"0,0.1\"\n"
                                 "EXPECT job-state WITH-VALUE 9 REPEAT-NO-MATCH\nREPEAT-LIMIT 100\n"
                                 "EXPECT job-state-message WITH-VALUE "
                                 "\"/Printed the first 3000 mm of a 3016 mm page only/\"\n}\n";
    const ChildResult run = server_->IppTool(PrintJobTest("ATTR keyword korla-faster-printing 0") + jobState,
                                             {"format=image/pwg-raster", "filename=" + *documents_ / "too-long.pwg"});
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    const AppServer::PrinterJob job = server_->NextJob();
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(std::vector<int>{23976}, ImageRows(job.listing)) << job.listing;
}

struct GreyCase {
    const char* name;
    std::string format;
    std::string contentOptimize;
    bool dithered;  // else greys print black or white
};

class PrinterAppGreys : public PrinterAppWholeReceipt, public ::testing::WithParamInterface<GreyCase> {};

// With KORLA_APP_OUTPUT set, the paper pictures are kept there to be
// looked at.
void KeepPicture(const AppServer::PrinterJob& job, const std::string& name)
{
    const char* folder = getenv("KORLA_APP_OUTPUT");
    if (folder != nullptr)
        WriteFile(std::string(folder) + "/" + name + ".png", ReadFile(job.picture));
}

// The paper's tone, 16 x 16 dots at a time, is the document's within 48
// levels when dithered; a threshold turns the 50% grey box white.
TEST_P(PrinterAppGreys, PrintAsTheJobAsks)
{
    const GreyPicture receipt = GreyReceipt(HEAD, 64);
    const std::string content = GetParam().format == "image/png"    ? GreyPng(receipt)
                                : GetParam().format == "image/jpeg" ? GreyJpeg(receipt)
                                                                    : GreyPwg(*documents_, receipt);
    const AppServer::PrinterJob job =
        Print(GetParam().format, content, "ATTR keyword print-content-optimize " + GetParam().contentOptimize);
    ASSERT_TRUE(job.arrived);
    KeepPicture(job, GetParam().name);
    const int difference = LargestToneDifference(readPng(job.picture), HEAD, receipt, 16);
    if (GetParam().dithered)
        EXPECT_GE(48, difference) << job.picture;
    else
        EXPECT_LE(120, difference) << job.picture;
}

INSTANTIATE_TEST_SUITE_P(
    , PrinterAppGreys,
    ::testing::Values(GreyCase{"PngPhoto", "image/png", "photo", true},
                      GreyCase{"PngGraphic", "image/png", "graphic", true},
                      GreyCase{"PngAuto", "image/png", "auto", true},
                      GreyCase{"PngText", "image/png", "text", false},
                      GreyCase{"JpegPhoto", "image/jpeg", "photo", true},
                      GreyCase{"JpegText", "image/jpeg", "text", false},
                      GreyCase{"GreyPwgPhoto", "image/pwg-raster", "photo", true},
                      GreyCase{"GreyPwgText", "image/pwg-raster", "text", false}),
    [](const auto& info) { return info.param.name; });

// Yellow is a light grey (its luminance), not paper.
TEST_F(PrinterAppWholeReceipt, YellowPrintsAsALightGrey)
{
    PngSpec spec{HEAD, 64, PNG_COLOR_TYPE_RGB};
    for (unsigned i = 0; i < HEAD * 64; ++i)
        spec.rows.insert(spec.rows.end(), {255, 255, 0});
    const AppServer::PrinterJob job = Print("image/png", EncodePng(spec));
    ASSERT_TRUE(job.arrived);
    const GreyPicture luminance{HEAD, 64, std::vector<unsigned char>(size_t{HEAD} * 64, 236)};
    EXPECT_GE(16, LargestToneDifference(readPng(job.picture), HEAD, luminance, 32)) << job.picture;
}

// A one-page PDF of the size, in points, that draws the content.
std::string OnePagePdf(double width, double height, const std::string& content)
{
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(width) + " " + std::to_string(height) +
            "] /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const size_t offset : offsets) {
        char line[24];
        snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    return pdf + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
}

// 80 mm wide, 200 mm long, its outer 3 mm black on both sides and a bar
// across its middle.
const std::string EDGE_BARS_PDF =
    OnePagePdf(226.8, 567, "0 g 0 0 8.5 567 re f 218.3 0 8.5 567 re f 0 280 226.8 8 re f");
// 80 mm wide, 375 mm long, a bar across its top and one across its bottom.
const std::string LONG_PDF = OnePagePdf(226.8, 1063, "0 g 0 0 226.8 20 re f 0 1043 226.8 20 re f");

// Ink in the outer columns of the head, on the row where the bars are.
bool InkAtBothEdges(const Picture& paper, int row)
{
    const auto ink = [&](int from, int to) {
        for (int x = from; x < to; ++x) {
            if (paper.at(x, row) == kBlackPixel)
                return true;
        }
        return false;
    };
    return ink(0, 24) && ink(HEAD - 24, HEAD);
}

// Through CUPS: an 80 mm PDF comes out whole, fitted to the 72 mm the head
// prints, a 375 mm one whole on a medium of its length, and a tall PNG
// whole. A driverless queue cannot pass copies of an image or the receipt
// settings (CUPS keeps both); a raw queue passes both.
TEST_F(PrinterAppWholeReceipt, CupsQueues)
{
    PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Start());
    ChildOptions client;
    client.environment = cupsd.ClientEnvironment();
    ASSERT_TRUE(AddDriverlessQueue(cupsd, "till", server_->PrinterUri()));
    const ChildResult raw =
        RunChild({"/usr/sbin/lpadmin", "-p", "till-raw", "-E", "-v", server_->PrinterUri(), "-m", "raw"}, client);
    ASSERT_EQ(0, raw.exitStatus) << raw.err;
    WriteFile(*documents_ / "edges.pdf", EDGE_BARS_PDF);
    WriteFile(*documents_ / "long.pdf", LONG_PDF);
    WriteFile(*documents_ / "receipt.png", GreyPng(GreyReceipt(HEAD, 32)));
    const auto print = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = {"/usr/bin/lp"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const ChildResult printed = RunChild(argv, client);
        EXPECT_EQ(0, printed.exitStatus) << printed.out << printed.err;
        const AppServer::PrinterJob job = server_->NextJob();
        EXPECT_TRUE(job.arrived) << ReadFile(cupsd.errorLog());
        return job;
    };

    const AppServer::PrinterJob pdf = print({"-d", "till", *documents_ / "edges.pdf"});
    const Picture paper = readPng(pdf.picture);
    int barRow = 0;
    while (barRow < paper.height && paper.at(HEAD / 2, barRow) != kBlackPixel)
        ++barRow;
    ASSERT_LT(barRow, paper.height) << pdf.picture;
    EXPECT_TRUE(InkAtBothEdges(paper, barRow + 2)) << pdf.picture;

    // A page longer than every listed medium prints whole on one of its
    // length: the bar at its bottom ends 375 mm down.
    const Picture longPage =
        readPng(print({"-d", "till", "-o", "media=Custom.72x375mm", *documents_ / "long.pdf"}).picture);
    int lastInk = 0;
    for (int y = 0; y < longPage.height; ++y)
        lastInk = longPage.at(HEAD / 2, y) == kBlackPixel ? y : lastInk;
    EXPECT_NEAR(375 * 2030 / 254, lastInk, 20);

    // CUPS passes a PNG as it is, naming no medium: a 4000-row one ends
    // 4000 rows down the paper.
    WriteFile(*documents_ / "tall.png", GreyPng(Tall(4000)));
    const Picture tall = readPng(print({"-d", "till", *documents_ / "tall.png"}).picture);
    ASSERT_LT(4000, tall.height);
    EXPECT_EQ(kBlackPixel, tall.at(HEAD / 2, 3999));
    EXPECT_EQ(kWhitePixel, tall.at(HEAD / 2, 3995));

    const std::string png = *documents_ / "receipt.png";
    const AppServer::PrinterJob driverless = print({"-d", "till", "-n", "3", "-o", "korla-cash-drawer=1", png});
    EXPECT_EQ(1, CountLines(driverless.listing, "GS V 66 0")) << driverless.listing;
    EXPECT_EQ(0, CountLines(driverless.listing, "ESC p")) << driverless.listing;

    const AppServer::PrinterJob viaRaw = print({"-d", "till-raw", "-n", "3", "-o", "korla-cash-drawer=1", png});
    EXPECT_EQ(3, CountLines(viaRaw.listing, "GS V 66 0")) << viaRaw.listing;
    EXPECT_EQ(1, CountLines(viaRaw.listing, "ESC p")) << viaRaw.listing;
}

}  // namespace

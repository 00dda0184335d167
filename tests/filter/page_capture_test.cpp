// Page capture and blank-tail trimming, seen through what the job prints.
// The queue PPD holds no options, so each page prints as the set-up, its
// image and the one-unit feed, and nothing else.
#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "driver_fixture.h"
#include "printer_bytes.h"
#include "raster_writer.h"

namespace {

Writes PageWrites(unsigned bytesPerLine, unsigned rows, const std::string& image)
{
    Writes writes = SetUpWrites();
    writes.push_back(ImageCommand(bytesPerLine, rows));
    if (!image.empty())
        writes.push_back(image);
    writes.push_back(kFeedAfterPage);
    return writes;
}

Writes Concat(std::initializer_list<Writes> parts)
{
    Writes all;
    for (const Writes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class PageCaptureTest : public DriverTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        UsePpd({});
    }

    Writes PrintRasterFile(const std::string& path, int copies = 1)
    {
        const int fd = open(path.c_str(), O_RDONLY);
        Writes writes = Capture([&](ReceiptEngine& engine) { RasterToKORLA(engine).StartJob(fd, copies); });
        close(fd);
        return writes;
    }

    Writes PrintPages(const std::vector<RasterPage>& pages)
    {
        WriteRaster((dir / "job.ras"), pages, GetParam());
        return PrintRasterFile((dir / "job.ras"));
    }
};

TEST_P(PageCaptureTest, EachPageKeepsItsSizeAndLosesOnlyItsBlankTail)
{
    RasterPage gaps{64, 8, {BlankRow(8), BlankRow(8), InkRow(8, 1), BlankRow(8), InkRow(8, 2),
                            BlankRow(8), BlankRow(8), BlankRow(8)}};
    const std::vector<RasterPage> pages = {
        PageWithBlankTail(72, 30, 10),
        gaps,
        PageWithBlankTail(48, 5, 0),
        PageWithBlankTail(72, 0, 12),
    };
    const Writes expected = Concat({
        PageWrites(72, 30, TrimmedImage(pages[0])),
        PageWrites(8, 5, TrimmedImage(gaps)),
        PageWrites(48, 5, TrimmedImage(pages[2])),
        PageWrites(72, 0, ""),
    });
    EXPECT_EQ(PrintPages(pages), expected);
}

TEST_P(PageCaptureTest, ASingleInkByteInTheBottomRowKeepsEveryRow)
{
    RasterPage page = PageWithBlankTail(16, 0, 20);
    page.rows.back()[15] = 0x01;
    EXPECT_EQ(PrintPages({page}), PageWrites(16, 20, TrimmedImage(page)));
}

TEST_P(PageCaptureTest, AStreamWithoutPagesPrintsNothing)
{
    EXPECT_TRUE(PrintPages({}).empty());
}

TEST_P(PageCaptureTest, APageCutOffInsideItsRowsPrintsAsEmpty)
{
    const std::vector<RasterPage> pages = {PageWithBlankTail(72, 40, 0), PageWithBlankTail(72, 400, 0)};
    WriteRaster((dir / "job.ras"), pages, GetParam());
    const auto size = std::filesystem::file_size((dir / "job.ras"));
    ASSERT_EQ(truncate((dir / "job.ras").c_str(), static_cast<off_t>(size) - 200), 0);

    const Writes expected = Concat({PageWrites(72, 40, TrimmedImage(pages[0])), PageWrites(72, 0, "")});
    EXPECT_EQ(PrintRasterFile((dir / "job.ras")), expected);
}

INSTANTIATE_TEST_SUITE_P(Compression, PageCaptureTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Compressed" : "Uncompressed"; });

class DamagedStreamTest : public PageCaptureTest {};

TEST_F(DamagedStreamTest, InputThatIsNotRasterPrintsNothing)
{
    const std::string path = dir / "text.txt";
    FILE* text = fopen(path.c_str(), "w");
    fputs("This is not a raster stream.\n", text);
    fclose(text);
    EXPECT_TRUE(PrintRasterFile(path).empty());
}

// A header that announces far more rows than the stream holds (8 GiB): the
// page is cut off where the stream ends and prints blank; what followed it
// in the stream was read as its rows.
TEST_F(DamagedStreamTest, AHeaderAnnouncingMoreRowsThanTheStreamHoldsIsCutOff)
{
    const RasterPage first = PageWithBlankTail(4, 3, 1);
    const RasterPage huge = {64, 8, {InkRow(8, 1)}, 1u << 30};
    const std::string path = dir / "huge.ras";
    WriteRaster(path, {first, huge, first}, false);

    EXPECT_EQ(PrintRasterFile(path), Concat({PageWrites(4, 3, TrimmedImage(first)), PageWrites(8, 0, "")}));
}

// A header that libcups refuses and that does not tell how long its rows
// are (no width, no bytes per row), or one that is cut off, ends the pages.
TEST_F(DamagedStreamTest, ARefusedOrTruncatedHeaderEndsTheCapture)
{
    const RasterPage first = PageWithBlankTail(4, 3, 1);
    const RasterPage zeroWidth = {0, 0, {}, 2};  // libcups's writer cannot write its rows
    const Writes expected = PageWrites(4, 3, TrimmedImage(first));

    WriteRaster(dir / "refused.ras", {first, zeroWidth, first}, false);
    EXPECT_EQ(PrintRasterFile(dir / "refused.ras"), expected);

    // Sync word, first header and first page, then half of the second header.
    WriteRaster(dir / "cut.ras", {first, first}, false);
    const off_t secondHeader = 4 + sizeof(cups_page_header2_t) + 4 * 4;
    ASSERT_EQ(truncate((dir / "cut.ras").c_str(), secondHeader + 900), 0);
    EXPECT_EQ(PrintRasterFile(dir / "cut.ras"), expected);
}

// The rows go out as the stream carries them: a row size that disagrees with
// the width is taken as it stands, the width is only recorded.
TEST_F(DamagedStreamTest, RowsAreSentAtTheirOwnSizeWhateverTheWidthSays)
{
    const RasterPage rowSizeDisagrees = {64, 9, {InkRow(9, 1), InkRow(9, 2), BlankRow(9)}};
    WriteRaster(dir / "odd.ras", {rowSizeDisagrees}, false);
    EXPECT_EQ(PrintRasterFile(dir / "odd.ras"), PageWrites(9, 2, TrimmedImage(rowSizeDisagrees)));
}

// One bit a dot in a luminance colour space (W, SW): a set bit is white, so
// the rows print the other way round, and the bits that only pad a row to
// whole bytes stay blank. Black (K) prints as it stands.
TEST_F(DamagedStreamTest, PagesWhoseSetBitsAreWhitePrintTheRightWayRound)
{
    const std::string white(8, '\xFF');
    const std::string lineWithPadding = std::string("\x0F") + std::string(6, '\xFF') + std::string(1, '\0');
    const RasterPage page = {60, 8, {white, lineWithPadding, white}};
    const std::string printedLine = std::string("\xF0") + std::string(6, '\0') + std::string("\xF0");
    struct {
        cups_cspace_t space;
        Writes expected;
    } cases[] = {
        {CUPS_CSPACE_W, PageWrites(8, 2, std::string(8, '\0') + printedLine)},
        {CUPS_CSPACE_SW, PageWrites(8, 2, std::string(8, '\0') + printedLine)},
        {CUPS_CSPACE_K, PageWrites(8, 3, TrimmedImage(page))},
    };
    for (const auto& c : cases) {
        const std::string path = dir / "page.ras";
        WriteRaster(path, {page}, false);
        const int fd = open(path.c_str(), O_RDWR);
        const cups_cspace_t space = c.space;
        ASSERT_EQ(pwrite(fd, &space, sizeof space, 4 + offsetof(cups_page_header2_t, cupsColorSpace)),
                  static_cast<ssize_t>(sizeof space));
        close(fd);
        EXPECT_EQ(PrintRasterFile(path), c.expected) << c.space;
    }
}

TEST(RemoveLine, IsTrueOnlyForRowsWithoutInk)
{
    const std::string blank(9, '\0');
    std::string lastByteInk = blank;
    lastByteInk.back() = '\x80';
    auto row = [](const std::string& bytes) { return reinterpret_cast<const unsigned char*>(bytes.data()); };
    EXPECT_TRUE(RemoveLine(row(blank), 9));
    EXPECT_FALSE(RemoveLine(row(lastByteInk), 9));
    EXPECT_TRUE(RemoveLine(row(lastByteInk), 8));
    EXPECT_TRUE(RemoveLine(row(lastByteInk), 0));
    EXPECT_TRUE(RemoveLine(row(lastByteInk), -3));
}

TEST(ExtractPrintData, APageCutOffInsideItsRowsKeepsNone)
{
    TempDir dir;
    WriteRaster((dir / "one.ras"), {PageWithBlankTail(4, 20, 0)}, false);
    const auto size = std::filesystem::file_size((dir / "one.ras"));
    ASSERT_EQ(truncate((dir / "one.ras").c_str(), static_cast<off_t>(size) - 10), 0);
    const int fd = open((dir / "one.ras").c_str(), O_RDONLY);
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    cups_page_header2_t header;
    ASSERT_TRUE(cupsRasterReadHeader2(ras, &header));
    JOBINFO page;
    PageBuilder builder(page, header.cupsWidth, header.cupsHeight, header.cupsBytesPerLine);
    EXPECT_EQ(RasterToKORLA::ExtractPrintDataFromRaster(header, ras, builder), RasterToKORLA::PageRead::CutOff);
    builder.Finish();
    EXPECT_EQ(page.nbufferlen, 0u);
    EXPECT_EQ(page.nLinesToRemove, 20u);
    cupsRasterClose(ras);
    close(fd);
}

}  // namespace

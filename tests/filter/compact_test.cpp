// Compact image mode ("FasterPrinting" 1): a page goes out as bands of ink,
// each no wider than its ink, with the blank runs between them fed in the
// unit of one dot row, so that every band lands exactly on its own rows.
#include <gtest/gtest.h>

#include "filter_runner.h"
#include "ppd_writer.h"
#include "printer_bytes.h"
#include "printer_outline.h"
#include "raster_writer.h"
#include "temp_dir.h"

namespace {

constexpr int kBytesPerLine = 72;

// A row with ink in its first `width` bytes.
std::string RowInkedTo(size_t width)
{
    std::string row(kBytesPerLine, '\0');
    for (size_t i = 0; i < width; ++i)
        row[i] = static_cast<char>(0x81 + i % 64);
    return row;
}

const std::string kRowUnit = Bytes({0x1D, 0x50, 0xB4, 0xCB});      // GS P 180 203
const std::string kSetUpUnits = Bytes({0x1D, 0x50, 0xB4, 0xB4});   // GS P 180 180

// What the page's writes say: image bands with the rows they stand at, and
// the feeds between them.
struct Band {
    long row;  // where the band's first row lands
    unsigned width;
    std::vector<std::string> rows;
};

struct CompactPage {
    std::vector<Band> bands;
    std::vector<int> feeds;
    bool alignedLeftFirst = false;
    bool setUpUnitsAtEnd = true;  // the motion unit is the set-up's again after the page
};

// Reads the writes between the page's set-up and its closing ESC J 1. Every
// feed must come in the unit of one dot row.
CompactPage ReadPage(const Writes& writes, size_t first, size_t end)
{
    CompactPage page;
    long rows = 0;
    bool rowUnit = false;
    for (size_t i = first; i < end; ++i) {
        const std::string& w = writes[i];
        if (w == Bytes({0x1B, 0x61, 0x00})) {
            page.alignedLeftFirst = page.bands.empty() && page.feeds.empty();
        } else if (w == kRowUnit || w == kSetUpUnits) {
            rowUnit = w == kRowUnit;
        } else if (w.size() == 3 && w.compare(0, 2, Bytes({0x1B, 0x4A})) == 0) {
            EXPECT_TRUE(rowUnit) << "a feed in the set-up's unit";
            page.feeds.push_back(static_cast<unsigned char>(w[2]));
            rows += static_cast<unsigned char>(w[2]);
        } else if (w.size() == 8 && w.compare(0, 4, Bytes({0x1D, 0x76, 0x30, 0x00})) == 0) {
            const unsigned width = static_cast<unsigned char>(w[4]) | static_cast<unsigned char>(w[5]) << 8;
            const unsigned height = static_cast<unsigned char>(w[6]) | static_cast<unsigned char>(w[7]) << 8;
            const std::string& data = writes[++i];
            Band band{rows, width, {}};
            for (unsigned r = 0; r < height; ++r)
                band.rows.push_back(data.substr(r * width, width));
            rows += height;
            page.bands.push_back(band);
        } else {
            ADD_FAILURE() << "unexpected write " << Hex(w);
        }
    }
    page.setUpUnitsAtEnd = !rowUnit;
    return page;
}

class CompactTest : public ::testing::Test {
protected:
    Writes Print(const std::vector<RasterPage>& pages, const char* faster = "1", const char* trimTop = "0")
    {
        WriteRaster(dir / "job.ras", pages, true);
        WritePpd(dir / "queue.ppd", {{"FasterPrinting", faster}, {"TrimTopBlankRows", trimTop}});
        const FilterRun run = RunFilter({JobArgs(1, dir / "job.ras"), dir / "queue.ppd", ""});
        EXPECT_EQ(run.exitStatus, 0);
        return run.writes;
    }

    TempDir dir;
};

// The page's rows, each inked up to the width given; 0 is a blank row.
RasterPage PageOfWidths(const std::vector<size_t>& widths)
{
    RasterPage page{kBytesPerLine * 8, kBytesPerLine, {}};
    for (size_t width : widths)
        page.rows.push_back(RowInkedTo(width));
    return page;
}

std::vector<size_t> Repeat(size_t width, size_t rows)
{
    return std::vector<size_t>(rows, width);
}

std::vector<size_t> Join(std::initializer_list<std::vector<size_t>> parts)
{
    std::vector<size_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(CompactTest, BandsAreNoWiderThanTheirInkAndSitWhereTheirRowsWere)
{
    // Blank rows on top, a wide band, a long gap, a narrow band with a gap of
    // one row inside it (cheaper to print than to split), a gap of 600 rows
    // (more than one feed carries), a band, and the blank tail.
    const std::vector<size_t> widths = Join({Repeat(0, 30), Repeat(60, 24), Repeat(0, 40), Repeat(8, 10),
                                             Repeat(0, 1), Repeat(6, 10), Repeat(0, 600), Repeat(40, 5),
                                             Repeat(0, 100)});
    const RasterPage page = PageOfWidths(widths);
    const Writes writes = Print({page});

    // Document set-up, page set-up, the bands and feeds, ESC J 1, ESC @.
    ASSERT_GT(writes.size(), 19u);
    EXPECT_EQ(writes[writes.size() - 2], kFeedAfterPage);
    const CompactPage printed = ReadPage(writes, 18, writes.size() - 2);
    EXPECT_TRUE(printed.alignedLeftFirst);
    EXPECT_TRUE(printed.setUpUnitsAtEnd);
    ASSERT_EQ(printed.bands.size(), 3u);

    const struct {
        long row;
        unsigned width;
        size_t rows;
    } expected[] = {{30, 60, 24}, {94, 8, 21}, {715, 40, 5}};
    for (size_t b = 0; b < 3; ++b) {
        const Band& band = printed.bands[b];
        EXPECT_EQ(band.row, expected[b].row) << b;
        EXPECT_EQ(band.width, expected[b].width) << b;
        ASSERT_EQ(band.rows.size(), expected[b].rows) << b;
        for (size_t r = 0; r < band.rows.size(); ++r)
            EXPECT_EQ(band.rows[r], page.rows[static_cast<size_t>(expected[b].row) + r].substr(0, band.width));
    }
    // The top, the gap of 40, and the gap of 600 in three feeds.
    EXPECT_EQ(printed.feeds, (std::vector<int>{30, 40, 255, 255, 90}));
}

// Many short gaps, and two pages: every band lands exactly on its rows.
TEST_F(CompactTest, FeedsAreExactDotRows)
{
    std::vector<size_t> widths;
    for (int line = 0; line < 60; ++line)
        widths = Join({widths, Repeat(30, 8), Repeat(0, 13)});
    const RasterPage page = PageOfWidths(widths);
    const Writes writes = Print({page, page});
    size_t pageStart = 18;
    for (int p = 0; p < 2; ++p) {
        size_t end = pageStart;
        while (writes[end] != kFeedAfterPage)
            ++end;
        const CompactPage printed = ReadPage(writes, pageStart, end);
        ASSERT_EQ(printed.bands.size(), 60u);
        for (size_t line = 0; line < 60; ++line)
            EXPECT_EQ(printed.bands[line].row, static_cast<long>(line) * 21) << "page " << p;
        EXPECT_TRUE(printed.setUpUnitsAtEnd);
        pageStart = end + 1 + 9;  // past ESC J 1 and the next page's set-up
    }
}

// A barcode printed sideways: 198 white gaps of 1 to 12 rows between bars
// of 2 to 9 rows, on two pages. Every row of the faster picture is where
// plain printing puts it, exactly, on a printer that keeps the fractions of
// its feeds and on one that rounds each feed down to whole dots.
TEST_F(CompactTest, EveryRowLandsWherePlainPrintingPutsIt)
{
    std::vector<size_t> widths = Repeat(0, 17);
    for (size_t gap = 0; gap < 198; ++gap)
        widths = Join({widths, Repeat(40 + gap % 30, 2 + gap % 8), Repeat(0, 1 + gap * 7 % 12)});
    widths = Join({widths, Repeat(50, 3)});
    const RasterPage page = PageOfWidths(widths);
    const Writes plain = Print({page, page}, "0");
    const Writes faster = Print({page, page}, "1");
    for (bool wholeDots : {false, true}) {
        const render::Canvas plainPaper = PaperOf(Joined(plain), wholeDots);
        EXPECT_EQ(FirstDifferentRow(plainPaper, PaperOf(Joined(faster), wholeDots), kBytesPerLine * 8), -1)
            << "whole dots " << wholeDots;
        EXPECT_GT(plainPaper.height(), 2 * static_cast<int>(widths.size()));
    }
}

TEST_F(CompactTest, APageWithoutInkSendsNoImage)
{
    const Writes writes = Print({PageOfWidths(Repeat(0, 50))});
    Writes expected = SetUpWrites();
    Append(expected, SetUpWrites());
    expected.push_back(kFeedAfterPage);
    expected.push_back(kInitialise);
    EXPECT_EQ(writes, expected);
}

// "TrimTopBlankRows" 1: a page prints from its first row with ink, as one
// image or as bands; the blank rows between its bands stay.
TEST_F(CompactTest, BlankRowsAboveTheInkCanBeLeftOut)
{
    const RasterPage page = PageOfWidths(Join({Repeat(0, 414), Repeat(10, 4), Repeat(0, 20), Repeat(5, 2),
                                               Repeat(0, 7)}));
    const Writes plain = Print({page}, "0", "1");
    ASSERT_EQ(plain.size(), 9u + 9u + 4u);
    EXPECT_EQ(plain[18], ImageCommand(kBytesPerLine, 26));
    EXPECT_EQ(plain[19], TrimmedImage(page).substr(414 * kBytesPerLine));

    const Writes faster = Print({page}, "1", "1");
    const CompactPage printed = ReadPage(faster, 18, faster.size() - 2);
    ASSERT_EQ(printed.bands.size(), 2u);
    EXPECT_EQ(printed.bands[0].row, 0);
    EXPECT_EQ(printed.bands[1].row, 24);
    EXPECT_EQ(printed.feeds, std::vector<int>{20});
}

TEST_F(CompactTest, OffSendsThePageAsOneImage)
{
    const RasterPage page = PageOfWidths(Join({Repeat(0, 3), Repeat(10, 4), Repeat(0, 20), Repeat(5, 2)}));
    const Writes writes = Print({page}, "0");
    ASSERT_EQ(writes.size(), 9u + 9u + 4u);
    EXPECT_EQ(writes[18], ImageCommand(kBytesPerLine, 29));
    EXPECT_EQ(writes[19], TrimmedImage(page));
}

}  // namespace

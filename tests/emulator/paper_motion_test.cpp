// Feeds that are not whole dot rows add up without drift, so that a receipt
// sent as bands between feeds draws the same picture as one image.
#include "render/paper_renderer.h"

#include "bytes.h"
#include "decoder/decoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

render::Canvas paperOf(const ByteVector& job) { return render::renderPaper(escpos::decode(job), {}); }

ByteVector repeated(const std::string& command, int count)
{
    ByteVector all;
    for (int i = 0; i < count; ++i) all = all + hex(command);
    return all;
}

struct DriftCase {
    const char* name;
    ByteVector feeds;
    int row;  // the whole rows of their exact sum; rounding each feed gives less
};

void PrintTo(const DriftCase& c, std::ostream* out) { *out << c.name; }

class FeedsAddUp : public ::testing::TestWithParam<DriftCase> {};

TEST_P(FeedsAddUp, ToTheWholeRowsOfTheirExactSum)
{
    const render::Canvas paper = paperOf(GetParam().feeds + rasterHeader(72, 1) + ByteVector(72, 0xFF));
    int inked = 0;  // column 300: right of any text
    while (inked < paper.height() && paper.at(300, inked) != render::kBlack) ++inked;
    EXPECT_EQ(inked, GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    MotionUnits, FeedsAddUp,
    ::testing::Values(DriftCase{"HundredSingleUnits", repeated("1B 4A 01", 100), 112},  // 112.8, not 100
                      DriftCase{"FeedsOfCuts", repeated("1D 56 41 01", 9), 10},        // 10.15, not 9
                      // 50 x 203/180 + 50 x 203/150 = 124.06, not 100
                      DriftCase{"UnitChangedMidway",
                                repeated("1B 4A 01", 50) + hex("1D 50 00 96") + repeated("1B 4A 01", 50), 124},
                      // 4 x 203/254 around a line of text (33 rows) = 36.2, not 33
                      DriftCase{"TextLineBetween", hex("1D 50 00 FE") + repeated("1B 4A 01", 3) + hex("41 0A 1B 4A 01"),
                                36}),
    [](const ::testing::TestParamInfo<DriftCase>& info) { return std::string(info.param.name); });

// The other reading of ESC J: each feed rounded down to whole dots. A unit
// that matches the head (1/203 inch) moves the same both ways.
TEST(WholeDotFeeds, RoundEachFeedDown)
{
    const ByteVector feedsThenDot = repeated("1B 4A 01", 100) + hex("1D 50 B4 CB 1B 4A 07") + rasterHeader(72, 1) +
                               ByteVector(72, 0xFF);
    const auto firstInkedRow = [&](bool wholeDots) {
        render::PaperOptions options;
        options.wholeDotFeeds = wholeDots;
        const render::Canvas paper = render::renderPaper(escpos::decode(feedsThenDot), options);
        int row = 0;
        while (row < paper.height() && paper.at(300, row) != render::kBlack) ++row;
        return row;
    };
    EXPECT_EQ(firstInkedRow(false), 112 + 7);  // 112.8 rows, then 7
    EXPECT_EQ(firstInkedRow(true), 100 + 7);   // 1 row each, then 7
}

// A job that keeps switching units makes the exact denominator grow past
// what is kept; the position must still follow the true sum.
TEST(PaperPosition, FollowsTheSumThroughEveryMotionUnit)
{
    render::PaperPosition position;
    long double exact = 0;
    for (int unit = 1; unit <= 255 * 4; ++unit) {
        position.advance(render::motionUnits(unit % 13 + 1, unit % 255 + 1));
        exact += (long double)(unit % 13 + 1) * render::kDotsPerInch / (unit % 255 + 1);
        ASSERT_NEAR(position.row(), std::floor(exact), 1.0) << unit;
    }
}

// Inked bands between blank runs, as one image and as one image per band
// with ESC J feeds (1/180 inch) over the blank runs, each feed bringing the
// paper as near the band as whole units can. Every dot of one picture has a
// twin in the same column of the other, at most one row away.
TEST(BandedReceipt, DrawsTheSamePictureAsOneImage)
{
    ByteVector whole, bands = hex("1D 50 B4 B4");
    int blankRows = 0, inkedRows = 0;
    long unitsFed = 0;
    for (int band = 0; band < 24; ++band) {
        const int blank = 11 + band * 37 % 60, inked = 1 + band * 5 % 9;
        whole = whole + ByteVector(std::size_t(blank), 0);
        blankRows += blank;
        const long target = std::lround(blankRows * 180.0 / 203.0);
        for (long feed = target - unitsFed; feed > 0; feed -= 255)
            bands = bands + ByteVector{0x1B, 0x4A, std::uint8_t(std::min(feed, 255L))};
        unitsFed = target;
        ByteVector rows;  // one dot a row, moving, so that a row out of place shows
        for (int r = 0; r < inked; ++r, ++inkedRows) rows.push_back(std::uint8_t(0x80 >> inkedRows % 8));
        whole = whole + rows;
        bands = bands + rasterHeader(1, unsigned(inked)) + rows;
    }
    const render::Canvas one = paperOf(hex("1D 50 B4 B4") + rasterHeader(1, unsigned(whole.size())) + whole);
    const render::Canvas banded = paperOf(bands);
    for (const auto& [from, to] : {std::pair(&one, &banded), std::pair(&banded, &one)}) {
        for (int y = 0; y < from->height(); ++y) {
            for (int x = 0; x < 8; ++x) {
                if (from->at(x, y) != render::kBlack) continue;
                bool twin = false;
                for (int near = std::max(0, y - 1); near <= std::min(to->height() - 1, y + 1); ++near)
                    twin = twin || to->at(x, near) == render::kBlack;
                ASSERT_TRUE(twin) << "dot at " << x << "," << y;
            }
        }
    }
}

}  // namespace

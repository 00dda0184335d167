// Paper motion in exact units: feeds that are not whole dot rows add up
// without drift, so that a receipt sent as bands between feeds draws the
// same picture as one image.
#include "render/paper_position.h"
#include "render/paper_renderer.h"

#include "bytes.h"
#include "decoder/decoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The first row with ink in column x, or -1.
int firstInkedRow(const render::Canvas& canvas, int x)
{
    for (int y = 0; y < canvas.height(); ++y) {
        if (canvas.at(x, y) == render::kBlack) return y;
    }
    return -1;
}

Bytes repeated(const Bytes& bytes, int count)
{
    Bytes all;
    for (int i = 0; i < count; ++i) all = all + bytes;
    return all;
}

struct DriftCase {
    const char* name;
    Bytes feeds;
    int row;  // where the paper stands after them: the whole rows of the exact distance
};

void PrintTo(const DriftCase& c, std::ostream* out) { *out << c.name; }

class FeedsAddUp : public ::testing::TestWithParam<DriftCase> {};

TEST_P(FeedsAddUp, ToTheWholeRowsOfTheirExactSum)
{
    const Bytes job = GetParam().feeds + rasterHeader(72, 1) + Bytes(72, 0xFF);
    const render::Canvas paper = render::renderPaper(escpos::decode(job), {});
    EXPECT_EQ(firstInkedRow(paper, 300), GetParam().row);  // right of any text
}

// Rounding each feed on its own would give the second number.
INSTANTIATE_TEST_SUITE_P(
    MotionUnits, FeedsAddUp,
    ::testing::Values(
        // 100 x 203/180 = 112.8 (100 rounding each down)
        DriftCase{"HundredSingleUnits", repeated(hex("1B 4A 01"), 100), 112},
        // 7 x 22 x 203/180 = 173.7 (168)
        DriftCase{"CutFeeds", repeated(hex("1B 4A 16"), 7), 173},
        // 9 x 203/180 = 10.15 (9): the feed before a cut counts the same way
        DriftCase{"FeedsOfCuts", repeated(hex("1D 56 41 01"), 9), 10},
        // 50 x 203/180 + 50 x 203/150 = 56.4 + 67.7 = 124.06 (100)
        DriftCase{"UnitChangedMidway",
                  repeated(hex("1B 4A 01"), 50) + hex("1D 50 00 96") + repeated(hex("1B 4A 01"), 50), 124},
        // 3 x 203/254 + a line of text (33 rows) + 203/254 = 36.2 (33)
        DriftCase{"TextLineBetween", hex("1D 50 00 FE") + repeated(hex("1B 4A 01"), 3) + hex("41 0A 1B 4A 01"), 36},
        // 203 x 1/203: whole rows stay whole
        DriftCase{"UnitOfOneRow", hex("1D 50 00 CB") + repeated(hex("1B 4A 01"), 203), 203}),
    [](const ::testing::TestParamInfo<DriftCase>& info) { return std::string(info.param.name); });

// A job that keeps switching units makes the exact denominator grow; the
// position must still stay within a row of the true sum.
TEST(PaperPosition, StaysExactThroughEveryMotionUnit)
{
    render::PaperPosition position;
    long double exact = 0;
    for (int round = 0; round < 4; ++round) {
        for (int unit = 1; unit <= 255; ++unit) {
            const int n = 1 + (unit * 7 + round) % 13;
            position.advance(render::motionUnits(n, unit));
            exact += (long double)n * render::kDotsPerInch / unit;
            ASSERT_NEAR(position.row(), std::floor(exact), 1.0) << "unit " << unit;
        }
    }
    // Whole-dot steps after all that land exactly where they should.
    const int before = position.row();
    position.advance(render::dots(1000));
    EXPECT_EQ(position.row(), before + 1000);
}

// A page of inked bands between blank runs, as one image and as one image
// per band with ESC J feeds over the blank runs, in 1/180 inch: each feed
// brings the paper as close to the band as whole units can, so the error
// never adds up on the sender's side.
class BandedPage {
public:
    BandedPage()
    {
        int row = 0;
        for (int band = 0; band < 24; ++band) {
            const int blank = 11 + (band * 37) % 60;  // up to 70 rows of blank paper
            const int inked = 1 + (band * 5) % 9;
            bands_.push_back({blank, row + blank, inked});
            row += blank + inked;
        }
        rows_ = row;
    }

    Bytes asOneImage() const
    {
        Bytes job = hex("1D 50 B4 B4") + rasterHeader(kBytesPerRow, unsigned(rows_));
        for (int row = 0; row < rows_; ++row) job = job + rowBytes(row);
        return job;
    }

    Bytes asBands() const
    {
        Bytes job = hex("1D 50 B4 B4");
        int blankRows = 0;
        long unitsFed = 0;
        for (const Band& band : bands_) {
            blankRows += band.blankBefore;
            long feed = std::lround(blankRows * 180.0 / 203.0) - unitsFed;
            unitsFed += feed;
            for (long step; feed > 0; feed -= step) {
                step = std::min(feed, 255L);
                job = job + Bytes{0x1B, 0x4A, std::uint8_t(step)};
            }
            job = job + rasterHeader(kBytesPerRow, unsigned(band.count));
            for (int row = band.first; row < band.first + band.count; ++row) job = job + rowBytes(row);
        }
        return job;
    }

private:
    static constexpr int kBytesPerRow = 8;

    struct Band {
        int blankBefore;
        int first;
        int count;
    };

    bool inked(int row) const
    {
        for (const Band& band : bands_) {
            if (row >= band.first && row < band.first + band.count) return true;
        }
        return false;
    }

    // One dot whose column changes from row to row, so that a row out of place shows.
    Bytes rowBytes(int row) const
    {
        Bytes bytes(kBytesPerRow, 0);
        if (inked(row)) bytes[std::size_t(row % kBytesPerRow)] = std::uint8_t(0x80 >> (row % 8));
        return bytes;
    }

    std::vector<Band> bands_;
    int rows_ = 0;
};

// Every inked dot of one picture has its twin in the same column of the
// other, at most one row away.
::testing::AssertionResult inkWithinOneRow(const render::Canvas& from, const render::Canvas& to)
{
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < 64; ++x) {
            if (from.at(x, y) != render::kBlack) continue;
            bool twin = false;
            for (int dy = -1; dy <= 1; ++dy) twin = twin || (y + dy >= 0 && y + dy < to.height() && to.at(x, y + dy) == render::kBlack);
            if (!twin) return ::testing::AssertionFailure() << "dot at " << x << "," << y << " has no twin";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(BandedReceipt, DrawsTheSamePictureAsOneImage)
{
    const BandedPage page;
    const render::Canvas plain = render::renderPaper(escpos::decode(page.asOneImage()), {});
    const render::Canvas banded = render::renderPaper(escpos::decode(page.asBands()), {});
    EXPECT_TRUE(inkWithinOneRow(plain, banded));
    EXPECT_TRUE(inkWithinOneRow(banded, plain));
    EXPECT_LE(std::abs(banded.height() - plain.height()), 1);
}

}  // namespace

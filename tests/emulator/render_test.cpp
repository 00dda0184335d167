#include "render/paper_renderer.h"

#include "bytes.h"
#include "decoder/decoder.h"
#include "png_reader.h"
#include "render/png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

// Renders the job, writes the PNG and reads it back, as a viewer would.
Picture renderThroughPng(const ByteVector& job, render::PaperOptions options = {})
{
    const render::Canvas canvas = render::renderPaper(escpos::decode(job), options);
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string path = ::testing::TempDir() + "render_test_" + name + ".png";
    std::string error;
    EXPECT_TRUE(render::writePng(canvas, path, error)) << error;
    Picture picture = readPng(path);
    std::remove(path.c_str());
    return picture;
}

ByteVector blackRow(unsigned bytesPerRow) { return rasterHeader(bytesPerRow, 1) + ByteVector(bytesPerRow, 0xFF); }

// Rows [from, to) of the paper, all white across the paper width.
bool paperIsWhite(const Picture& picture, int paperWidth, int from, int to)
{
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < paperWidth; ++x) {
            if (!(picture.at(x, y) == kWhitePixel)) return false;
        }
    }
    return true;
}

TEST(PaperPicture, IsPaperWidthPlusMarginWide)
{
    EXPECT_EQ(renderThroughPng(blackRow(1)).width, 576 + render::kMarginWidth);
    EXPECT_EQ(renderThroughPng(blackRow(1), {384, render::kDefaultMaxRows}).width, 384 + render::kMarginWidth);
}

TEST(PaperPicture, ImageDotsLandWhereTheBitsSay)
{
    // Feed one inch first; then two rows of two bytes, MSB first.
    const ByteVector job = hex("1D 50 B4 B4 1B 4A B4") + rasterHeader(2, 2) + hex("80 01 40 00");
    const Picture picture = renderThroughPng(job);
    const int top = 203;
    ASSERT_GT(picture.height, top + 1);
    EXPECT_TRUE(paperIsWhite(picture, 576, 0, top));
    EXPECT_EQ(picture.at(0, top), kBlackPixel);
    EXPECT_EQ(picture.at(15, top), kBlackPixel);
    EXPECT_EQ(picture.at(1, top), kWhitePixel);
    EXPECT_EQ(picture.at(14, top), kWhitePixel);
    EXPECT_EQ(picture.at(1, top + 1), kBlackPixel);
    EXPECT_EQ(picture.at(0, top + 1), kWhitePixel);
}

TEST(PaperPicture, CentredImageSitsInTheMiddle)
{
    const Picture picture = renderThroughPng(hex("1B 61 01") + blackRow(2));
    const int left = (576 - 16) / 2;
    EXPECT_EQ(picture.at(left - 1, 0), kWhitePixel);
    EXPECT_EQ(picture.at(left, 0), kBlackPixel);
    EXPECT_EQ(picture.at(left + 15, 0), kBlackPixel);
    EXPECT_EQ(picture.at(left + 16, 0), kWhitePixel);
}

TEST(PaperPicture, DoubleSizeModeScalesDots)
{
    const Picture picture = renderThroughPng(hex("1D 76 30 03 01 00 01 00 80"));
    EXPECT_EQ(picture.at(1, 1), kBlackPixel);
    EXPECT_EQ(picture.at(2, 0), kWhitePixel);
}

TEST(PaperPicture, ImageWiderThanPaperIsClipped)
{
    const Picture picture = renderThroughPng(blackRow(100));
    EXPECT_EQ(picture.at(575, 0), kBlackPixel);
    EXPECT_NE(picture.at(576, 0), kBlackPixel);
}

struct FeedCase {
    const char* name;
    const char* feed;  // bytes between two black rows
    int gapDots;
};

void PrintTo(const FeedCase& c, std::ostream* out) { *out << c.name; }


class FeedGap : public ::testing::TestWithParam<FeedCase> {};

TEST_P(FeedGap, LeavesWhitePaperOfTheRightHeight)
{
    const ByteVector job = blackRow(72) + hex(GetParam().feed) + blackRow(72);
    const Picture picture = renderThroughPng(job);
    const int second = 1 + GetParam().gapDots;
    ASSERT_GT(picture.height, second);
    EXPECT_EQ(picture.at(100, 0), kBlackPixel);
    EXPECT_TRUE(paperIsWhite(picture, 576, 1, second));
    EXPECT_EQ(picture.at(100, second), kBlackPixel);
}

INSTANTIATE_TEST_SUITE_P(
    MotionUnits, FeedGap,
    ::testing::Values(FeedCase{"DefaultUnitIsOne180th", "1B 4A B4", 203},
                      FeedCase{"DriverFeedBeforeCut", "1D 50 B4 B4 1B 4A 16", 22 * 203 / 180},
                      FeedCase{"OneUnitAfterPage", "1D 50 B4 B4 1B 4A 01", 1},
                      FeedCase{"VerticalUnitOfOneDot", "1D 50 B4 CB 1B 4A 32", 50},
                      FeedCase{"UnitZeroMeansDefault", "1D 50 00 00 1B 4A B4", 203},
                      FeedCase{"InitialiseRestoresDefaultUnit", "1D 50 00 CB 1B 40 1B 4A B4", 203},
                      FeedCase{"TwoLinesOfOneSixthInch", "1B 64 02", 2 * (203 / 6)},
                      FeedCase{"NulAndStatusRequestDoNotMovePaper", "00 10 04 02", 0}),
    [](const ::testing::TestParamInfo<FeedCase>& info) { return std::string(info.param.name); });

TEST(PaperPicture, CutIsDashedRedLineAfterItsFeed)
{
    // GS V 65 180: full cut after feeding one inch.
    const Picture picture = renderThroughPng(blackRow(72) + hex("1B 4A 16 1D 56 42 00 1D 56 41 B4"));
    const int partialCut = 1 + 22 * 203 / 180;
    const int fullCut = partialCut + 203;
    for (int y : {partialCut, fullCut}) {
        EXPECT_EQ(picture.at(0, y), kRedPixel) << y;
        EXPECT_EQ(picture.at(7, y), kRedPixel) << y;
        EXPECT_EQ(picture.at(9, y), kWhitePixel) << y;  // gap between dashes
        EXPECT_EQ(picture.at(12, y), kRedPixel) << y;
    }
    EXPECT_TRUE(paperIsWhite(picture, 576, partialCut + 1, fullCut));
}

TEST(PaperPicture, StoredLogoIsABoxPlacedByJustification)
{
    const Picture picture = renderThroughPng(hex("1B 61 01 1C 70 01 00 1B 61 00") + blackRow(1));
    const int left = (576 - render::kLogoBoxWidth) / 2;
    EXPECT_EQ(picture.at(left, 0), kBluePixel);
    EXPECT_EQ(picture.at(left + render::kLogoBoxWidth - 1, render::kLogoBoxHeight - 1), kBluePixel);
    EXPECT_EQ(picture.at(left - 1, 0), kWhitePixel);
    // The page image follows below the box, at the left again.
    EXPECT_EQ(picture.at(0, render::kLogoBoxHeight), kBlackPixel);
}

TEST(PaperPicture, TextPrintsInBlackAndFeedsALine)
{
    const Picture picture = renderThroughPng(hex("48 0A") + blackRow(72));
    bool inked = false;
    for (int y = 0; y < render::kLineSpacingDots; ++y) inked = inked || picture.at(0, y) == kBlackPixel;
    EXPECT_TRUE(inked);
    EXPECT_EQ(picture.at(100, render::kLineSpacingDots), kBlackPixel);
}

TEST(PaperPicture, DeselectedPrinterIgnoresDataUntilSelected)
{
    const Picture picture = renderThroughPng(hex("1B 3D 00") + blackRow(72) + hex("1B 3D 01") + blackRow(72));
    EXPECT_EQ(picture.at(100, 0), kBlackPixel);
    EXPECT_TRUE(paperIsWhite(picture, 576, 1, picture.height));
}

TEST(PaperPicture, EndlessFeedsStopAtTheRowCap)
{
    ByteVector job;
    for (int i = 0; i < 100; ++i) job = job + hex("1B 64 FF");
    const render::Canvas canvas = render::renderPaper(escpos::decode(job), {576, 2000});
    EXPECT_EQ(canvas.height(), 2000);
    EXPECT_TRUE(canvas.clipped());
}

TEST(PaperPicture, HostileImageHeaderAllocatesNoMoreThanItsData)
{
    const Picture picture = renderThroughPng(hex("1D 76 30 00 FF FF FF FF FF"));
    EXPECT_LE(picture.height, render::kDefaultMaxRows);
    EXPECT_EQ(picture.at(7, 0), kBlackPixel);
}

// Random jobs, biased towards command bytes, stay within the paper and the cap.
TEST(PaperPicture, ArbitraryJobsStayInsideTheCanvas)
{
    std::mt19937 random(1234);
    const ByteVector alphabet = hex("1B 1D 1C 10 40 56 76 30 61 64 4A 70 50 3D 00 0A 41 01 02 FF");
    for (int round = 0; round < 100; ++round) {
        ByteVector job(random() % 400);
        for (std::uint8_t& byte : job) byte = random() % 4 ? alphabet[random() % alphabet.size()] : random() % 256;
        const render::Canvas canvas = render::renderPaper(escpos::decode(job), {384, 3000});
        ASSERT_EQ(canvas.width(), 384 + render::kMarginWidth);
        ASSERT_GE(canvas.height(), 1);
        ASSERT_LE(canvas.height(), 3000);
    }
}

}  // namespace

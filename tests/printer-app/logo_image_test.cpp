// Images made into logos: PNG and JPEG files read, scaled to the paper and
// made one bit per dot, with results known dot for dot.
#include <cstddef>

#include <gtest/gtest.h>

#include "logo_image.h"
#include "png_files.h"
#include "temp_dir.h"
#include "test_pictures.h"

namespace {

// Black on the left of column `edge`, white from it on.
GreyPicture LeftBlack(unsigned width, unsigned height, unsigned edge)
{
    GreyPicture picture{width, height, {}};
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x)
            picture.pixels.push_back(x < edge ? 0 : 255);
    }
    return picture;
}

// At the best quality: the edge stays where it is.
std::string BestJpeg(const GreyPicture& picture)
{
    return GreyJpeg(picture, 100);
}

// The dots of a row as text, '#' for a dot.
std::string RowText(const LogoBitmap& logo, uint32_t y)
{
    std::string text;
    for (uint32_t x = 0; x < logo.width; ++x)
        text += logo.Dot(x, y) ? '#' : '.';
    return text;
}

std::vector<unsigned char> Dots(const std::vector<unsigned char>& grey, unsigned width, unsigned height,
                                OneBitMethod method, int threshold = DEFAULT_THRESHOLD)
{
    return ToOneBit(grey.data(), width, height, {method, 0, threshold});
}

size_t DotCount(const std::vector<unsigned char>& rows)
{
    size_t dots = 0;
    for (unsigned char byte : rows)
        dots += static_cast<size_t>(__builtin_popcount(byte));
    return dots;
}

TEST(OneBit, ThresholdPrintsWhatIsDarkerThanIt)
{
    const std::vector<unsigned char> ramp = {0, 60, 127, 128, 200, 255, 10, 250, 99, 100};
    EXPECT_EQ((std::vector<unsigned char>{0xE2, 0xC0}), Dots(ramp, 10, 1, OneBitMethod::Threshold));
    EXPECT_EQ((std::vector<unsigned char>{0xFA, 0xC0}), Dots(ramp, 10, 1, OneBitMethod::Threshold, 201));
}

// 128 stays white and passes 7/16 of its error (-127) on: the next 128
// prints, and so on, every other dot. At a threshold of 129 the first 128
// prints and the pattern starts a dot earlier.
TEST(OneBit, ErrorDiffusionCarriesTheErrorToTheRight)
{
    EXPECT_EQ((std::vector<unsigned char>{0x50}), Dots({128, 128, 128, 128}, 4, 1, OneBitMethod::ErrorDiffusion));
    EXPECT_EQ((std::vector<unsigned char>{0xA0}), Dots({128, 128, 128, 128}, 4, 1, OneBitMethod::ErrorDiffusion, 129));
}

TEST(OneBit, ErrorDiffusionGivesEachGreyItsShareOfDots)
{
    constexpr unsigned SIDE = 64;
    for (const int grey : {0, 32, 64, 128, 192, 230, 255}) {
        const std::vector<unsigned char> flat(SIDE * SIDE, static_cast<unsigned char>(grey));
        const double share = static_cast<double>(DotCount(Dots(flat, SIDE, SIDE, OneBitMethod::ErrorDiffusion))) /
                             (SIDE * SIDE);
        EXPECT_NEAR((255.0 - grey) / 255.0, share, 0.02) << "grey " << grey;
    }
}

class LogoFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteFile(folder_ / name, bytes);
        return folder_ / name;
    }
    TempDir folder_{"korla-logo-images-"};
};

// Twice the paper's width: half as wide and half as tall, the edge in the
// middle staying sharp.
TEST_F(LogoFiles, WiderThanThePaperIsScaledToIt)
{
    std::string error;
    const std::optional<PreparedLogo> logo =
        PrepareLogo({Write("wide.png", GreyPng(LeftBlack(1152, 40, 600))), {OneBitMethod::Threshold}}, 576, error);
    ASSERT_TRUE(logo) << error;
    EXPECT_EQ(1152u, logo->imageWidth);
    EXPECT_EQ(576u, logo->bitmap.width);
    EXPECT_EQ(20u, logo->bitmap.height);
    EXPECT_EQ(std::string(300, '#') + std::string(276, '.'), RowText(logo->bitmap, 0));
    EXPECT_EQ(RowText(logo->bitmap, 0), RowText(logo->bitmap, 19));
}

TEST_F(LogoFiles, NarrowerThanThePaperKeepsItsSize)
{
    std::string error;
    const std::optional<PreparedLogo> logo =
        PrepareLogo({Write("small.png", GreyPng(LeftBlack(100, 3, 37))), {OneBitMethod::Threshold}}, 384, error);
    ASSERT_TRUE(logo) << error;
    EXPECT_EQ(100u, logo->bitmap.width);
    EXPECT_EQ(3u, logo->bitmap.height);
    EXPECT_EQ(std::string(37, '#') + std::string(63, '.'), RowText(logo->bitmap, 2));
}

TEST_F(LogoFiles, JpegIsReadToo)
{
    std::string error;
    const std::optional<PreparedLogo> logo =
        PrepareLogo({Write("logo.jpg", BestJpeg(LeftBlack(64, 16, 24))), {OneBitMethod::Threshold}}, 576, error);
    ASSERT_TRUE(logo) << error;
    EXPECT_EQ(std::string(24, '#') + std::string(40, '.'), RowText(logo->bitmap, 8));
}

TEST_F(LogoFiles, WhatIsNoImageIsRefusedWithTheReason)
{
    const std::string jpeg = BestJpeg(LeftBlack(64, 64, 24));
    const size_t imageData = jpeg.find("\xff\xda");  // the start of scan
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {Write("text.png", "hello"), "neither a PNG nor a JPEG"},
        {Write("cut.jpg", jpeg.substr(0, imageData + (jpeg.size() - imageData) / 2)), "Premature end of JPEG file"},
        {Write("wide.jpg", BestJpeg(LeftBlack(8001, 1, 0))), "larger than 8000x8000 pixels"},
        {Write("cut.png", GreyPng(LeftBlack(64, 64, 3)).substr(0, 60)), ""},
        {folder_ / "missing.png", "cannot open"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(PrepareLogo({c.path, {OneBitMethod::Threshold}}, 576, error)) << c.path;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << c.path << ": " << error;
        EXPECT_FALSE(error.empty()) << c.path;
    }
}

}  // namespace

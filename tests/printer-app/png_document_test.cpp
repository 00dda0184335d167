// The PNG reader of the printer application: what it makes of sound files
// of every kind, and that a damaged or oversized one gives a reason instead
// of an image.
#include "png_document.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "png_files.h"
#include "test_pictures.h"

namespace {

PngDocument Read(const std::string& bytes, const ImageLimits& limits = ROOMY_LIMITS)
{
    return ReadBytes(ReadPngDocument, bytes, limits);
}

struct SoundFile {
    const char* name;
    PngSpec spec;
    std::vector<unsigned char> grey;  // what the reader should make of it
};

class SoundPng : public ::testing::TestWithParam<SoundFile> {};

TEST_P(SoundPng, BecomesGreyWithTransparencyOnWhite)
{
    const PngDocument document = Read(EncodePng(GetParam().spec));
    ASSERT_TRUE(document.image) << document.error;
    EXPECT_EQ(GetParam().spec.width, document.image->width);
    EXPECT_EQ(GetParam().spec.height, document.image->height);
    EXPECT_EQ(GetParam().grey, document.image->pixels);
}

// Colours weigh as sRGB luminance: red 54, green 182, blue 18.
INSTANTIATE_TEST_SUITE_P(
    Kinds, SoundPng,
    ::testing::Values(
        SoundFile{"Grey8", {3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255}}, {0, 128, 255}},
        SoundFile{"Grey1", {8, 1, PNG_COLOR_TYPE_GRAY, 1, {0xa0}}, {255, 0, 255, 0, 0, 0, 0, 0}},
        SoundFile{"Grey2", {4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1b}}, {0, 85, 170, 255}},
        SoundFile{"Grey16", {3, 1, PNG_COLOR_TYPE_GRAY, 16, {0, 0, 0x80, 0x80, 0xff, 0xff}}, {0, 128, 255}},
        SoundFile{"Rgb", {4, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}},
                  {54, 182, 18, 255}},
        SoundFile{"RgbAlpha", {3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 128}},
                  {0, 255, 127}},
        SoundFile{"GreyAlpha", {2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 255, 0, 0}}, {0, 255}},
        SoundFile{"PaletteWithTransparentEntry",
                  {3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, false, 0, {{0, 0, 0}, {255, 0, 0}, {255, 255, 255}}, {0}},
                  {255, 54, 255}},
        SoundFile{"Interlaced", {3, 3, PNG_COLOR_TYPE_GRAY, 8, {0, 1, 2, 3, 4, 5, 6, 7, 8}, true},
                  {0, 1, 2, 3, 4, 5, 6, 7, 8}}),
    [](const auto& info) { return info.param.name; });

TEST(PngDocument, ResolutionIsTakenFromThePhysChunk)
{
    PngSpec spec{1, 1, PNG_COLOR_TYPE_GRAY, 8, {0}};
    EXPECT_EQ(0, Read(EncodePng(spec)).image->ppi);
    spec.pixelsPerMetre = 11811;
    EXPECT_EQ(300, Read(EncodePng(spec)).image->ppi);
}

struct DamagedFile {
    const char* name;
    std::string bytes;
    ImageLimits limits;
};

class DamagedPng : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedPng, GivesAReasonAndNoImage)
{
    const PngDocument document = Read(GetParam().bytes, GetParam().limits);
    EXPECT_FALSE(document.image);
    EXPECT_NE("", document.error);
}

const std::string BAR = BarPng(64, 64);

// A file ends with its image data's CRC (4 bytes) and the end chunk (12).
INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedPng,
    ::testing::Values(DamagedFile{"Empty", "", ROOMY_LIMITS}, DamagedFile{"NotAPng", "GIF89a, or any other file", ROOMY_LIMITS},
                      DamagedFile{"SignatureOnly", BAR.substr(0, 8), ROOMY_LIMITS},
                      DamagedFile{"CutInsideTheHeader", BAR.substr(0, 20), ROOMY_LIMITS},
                      DamagedFile{"CutInsideTheImageData", BAR.substr(0, BAR.size() - 20), ROOMY_LIMITS},
                      DamagedFile{"CutBeforeItsEnd", BAR.substr(0, BAR.size() - 12), ROOMY_LIMITS},
                      DamagedFile{"ImageDataWithAWrongCrc", WithChangedChunkByte(BAR, "IDAT"), ROOMY_LIMITS},
                      DamagedFile{"HeaderWithAWrongCrc", WithChangedChunkByte(BAR, "IHDR"), ROOMY_LIMITS},
                      DamagedFile{"WiderThanAllowed", BAR, {63, 16384, size_t{1} << 30}},
                      DamagedFile{"TallerThanAllowed", BAR, {16384, 63, size_t{1} << 30}},
                      DamagedFile{"MorePixelsThanAllowed", BAR, {16384, 16384, 64 * 64 - 1}}),
    [](const auto& info) { return info.param.name; });

TEST(PngDocument, ReadsAnImageOfExactlyTheLimits)
{
    const PngDocument document = Read(BAR, {64, 64, 64 * 64});
    ASSERT_TRUE(document.image) << document.error;
    EXPECT_EQ(64u * 64u, document.image->pixels.size());
}

}  // namespace

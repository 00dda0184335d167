// The JPEG reader: a sound file gives its greys and resolution; one cut
// short or damaged in its image data gives a reason, where libjpeg alone
// would make up the rest.
#include "jpeg_document.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "test_pictures.h"

namespace {

ImageDocument Read(const std::string& bytes, const ImageLimits& limits = ROOMY_LIMITS)
{
    return ReadBytes(ReadJpegDocument, bytes, limits);
}

const GreyPicture RECEIPT = GreyReceipt(96, 16);

TEST(JpegDocument, GivesTheGreysAndTheResolution)
{
    const ImageDocument document = Read(GreyJpeg(RECEIPT, 95, 300));
    ASSERT_TRUE(document.image) << document.error;
    EXPECT_EQ(RECEIPT.width, document.image->width);
    EXPECT_EQ(RECEIPT.height, document.image->height);
    EXPECT_EQ(300, document.image->ppi);
    int largest = 0;
    for (size_t i = 0; i < RECEIPT.pixels.size(); ++i)
        largest = std::max(largest, std::abs(RECEIPT.pixels[i] - document.image->pixels[i]));
    EXPECT_GT(40, largest);  // JPEG is lossy at sharp edges
}

struct BadJpeg {
    const char* name;
    std::string bytes;
    ImageLimits limits;
    std::string error;
};

std::string WithScanDamaged(std::string jpeg)
{
    const size_t scan = jpeg.find("\xff\xda");
    for (size_t at = scan + 20; at < scan + 60; ++at)
        jpeg[at] = '\xff';
    return jpeg;
}

const std::string SOUND = GreyJpeg(RECEIPT);

class UnreadableJpeg : public ::testing::TestWithParam<BadJpeg> {};

TEST_P(UnreadableJpeg, GivesAReason)
{
    const ImageDocument document = Read(GetParam().bytes, GetParam().limits);
    EXPECT_FALSE(document.image);
    EXPECT_EQ(GetParam().error, document.error);
}

INSTANTIATE_TEST_SUITE_P(
    , UnreadableJpeg,
    ::testing::Values(BadJpeg{"CutShort", SOUND.substr(0, SOUND.size() * 2 / 3), ROOMY_LIMITS, "Premature end of JPEG file"},
                      BadJpeg{"EndMarkerMissing", SOUND.substr(0, SOUND.size() - 2), ROOMY_LIMITS,
                              "Premature end of JPEG file"},
                      BadJpeg{"DamagedScan", WithScanDamaged(SOUND), ROOMY_LIMITS, "Corrupt JPEG data: premature end of data segment"},
                      BadJpeg{"TallerThanAllowed", SOUND, ImageLimits{96, 64, 96 * 64},
                              "the image is larger than 96x64 pixels"},
                      BadJpeg{"NeedsMoreMemoryThanAllowed", SOUND, ImageLimits{96, 16384, 96 * 64},
                              "the image needs more memory than a job may have"},
                      BadJpeg{"NotAJpeg", std::string(100, 'x'), ROOMY_LIMITS, "Not a JPEG file: starts with 0x78 0x78"}),
    [](const auto& info) { return info.param.name; });

}  // namespace

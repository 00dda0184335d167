// Grey to the printer's dots: each method keeps the tone of a flat grey
// (the threshold makes it black or white), leaves black and white as they
// are, and darkness moves the tone; auto picks the method from the image.
#include "one_bit_image.h"

#include <vector>

#include <gtest/gtest.h>

#include "one_bit_choice.h"
#include "test_pictures.h"

namespace {

constexpr uint32_t SIDE = 64;

// The share of printed dots, 0 to 1, of a flat grey converted.
double InkShare(unsigned char grey, const OneBitOptions& options)
{
    const std::vector<unsigned char> flat(SIDE * SIDE, grey);
    const std::vector<unsigned char> dots = ToOneBit(flat.data(), SIDE, SIDE, options);
    int printed = 0;
    for (const unsigned char byte : dots)
        printed += __builtin_popcount(byte);
    return printed / double(SIDE * SIDE);
}

class Dither : public ::testing::TestWithParam<OneBitMethod> {};

TEST_P(Dither, KeepsTheToneOfAFlatGrey)
{
    for (const int grey : {32, 64, 128, 192, 236}) {
        EXPECT_NEAR((255 - grey) / 255.0, InkShare(static_cast<unsigned char>(grey), {GetParam(), 0}), 0.02)
            << "grey " << grey;
    }
}

TEST_P(Dither, LeavesBlackAndWhiteAsTheyAre)
{
    for (const int darkness : {-100, 0, 100}) {
        EXPECT_EQ(1.0, InkShare(0, {GetParam(), darkness}));
        EXPECT_EQ(0.0, InkShare(255, {GetParam(), darkness}));
    }
}

TEST_P(Dither, DarknessMovesTheTone)
{
    const double neutral = InkShare(128, {GetParam(), 0});
    EXPECT_GT(InkShare(128, {GetParam(), 60}), neutral + 0.1);
    EXPECT_LT(InkShare(128, {GetParam(), -60}), neutral - 0.1);
}

INSTANTIATE_TEST_SUITE_P(, Dither, ::testing::Values(OneBitMethod::OrderedDither, OneBitMethod::ErrorDiffusion));

TEST(Threshold, Prints127AndDarkerOnly)
{
    EXPECT_EQ(1.0, InkShare(127, {OneBitMethod::Threshold, 0}));
    EXPECT_EQ(0.0, InkShare(128, {OneBitMethod::Threshold, 0}));
    EXPECT_EQ(1.0, InkShare(150, {OneBitMethod::Threshold, 60}));
}

// Dots are packed high bit first, a row's last byte padded with blank bits.
TEST(OneBitRows, AreThePrintersLayout)
{
    const std::vector<unsigned char> row = {0, 255, 255, 0, 255, 255, 255, 255, 0, 255};
    EXPECT_EQ((std::vector<unsigned char>{0x90, 0x80}), ToOneBit(row.data(), 10, 1, {OneBitMethod::ErrorDiffusion, 0}));
}

struct Content {
    const char* name;
    unsigned band;  // of GreyReceipt: 0 black, 1 grey, 2 ramp, 3 barcode, 4 photo
    OneBitMethod expected;
};

class AutoMethod : public ::testing::TestWithParam<Content> {};

TEST_P(AutoMethod, FollowsTheImage)
{
    std::vector<ReceiptBand> bands;
    const GreyPicture receipt = GreyReceipt(200, 40, &bands);
    GreyImage image{200, 40, 0, {}};
    const auto top = receipt.pixels.begin() + bands[GetParam().band].top * 200;
    image.pixels.assign(top, top + 200 * 40);
    EXPECT_EQ(GetParam().expected, MethodForImage(image));
}

INSTANTIATE_TEST_SUITE_P(, AutoMethod,
                         ::testing::Values(Content{"BarcodeIsText", 3, OneBitMethod::Threshold},
                                           Content{"FlatGreyIsAGraphic", 1, OneBitMethod::OrderedDither},
                                           Content{"RampIsAPhoto", 2, OneBitMethod::ErrorDiffusion},
                                           Content{"PhotoIsAPhoto", 4, OneBitMethod::ErrorDiffusion}),
                         [](const auto& info) { return info.param.name; });

}  // namespace

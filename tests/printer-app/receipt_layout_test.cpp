// Where an image goes on the receipt: never wider than the head, made
// smaller only for the width, as long as it comes up to the longest
// receipt, fitted into a medium the job names.
#include "receipt_layout.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t HEAD = 576;
constexpr LengthLimit ROLL{23976, false};

struct Placement {
    const char* name;
    uint32_t width, height;
    int ppi;
    pappl_scaling_t scaling;
    LengthLimit limit;
    ImageLayout expected;
};

class Layout : public ::testing::TestWithParam<Placement> {};

TEST_P(Layout, PlacesTheImage)
{
    const Placement& p = GetParam();
    const ImageLayout layout = LayOutImage(p.width, p.height, p.ppi, HEAD, p.scaling, p.limit);
    EXPECT_EQ(p.expected.width, layout.width);
    EXPECT_EQ(p.expected.height, layout.height);
    EXPECT_EQ(p.expected.left, layout.left);
    EXPECT_EQ(p.expected.printedRows, layout.printedRows);
}

INSTANTIATE_TEST_SUITE_P(
    , Layout,
    ::testing::Values(
        Placement{"TallReceiptAtItsSize", 576, 4000, 0, PAPPL_SCALING_AUTO, ROLL, {576, 4000, 0, 4000}},
        Placement{"WiderImageMadeSmaller", 1152, 3000, 0, PAPPL_SCALING_AUTO, ROLL, {576, 1500, 0, 1500}},
        Placement{"NarrowImageCentredNotEnlarged", 200, 100, 0, PAPPL_SCALING_AUTO_FIT, ROLL, {200, 100, 188, 100}},
        Placement{"ResolutionGivesTheSize", 400, 100, 406, PAPPL_SCALING_AUTO, ROLL, {200, 50, 188, 50}},
        Placement{"FitEnlargesToTheWidth", 288, 100, 0, PAPPL_SCALING_FIT, ROLL, {576, 200, 0, 200}},
        Placement{"TooLongIsCut", 576, 30000, 0, PAPPL_SCALING_AUTO, ROLL, {576, 30000, 0, 23976}},
        Placement{"NamedMediumFitsTheLength", 576, 4000, 0, PAPPL_SCALING_AUTO, LengthLimit{1598, true},
                  {230, 1598, 173, 1598}}),
    [](const auto& info) { return info.param.name; });

}  // namespace

#include "one_bit_choice.h"

#include <algorithm>
#include <array>

namespace {

constexpr int NEUTRAL_CONFIGURED_DARKNESS = 50;

// Greys strictly between these are neither ink nor paper.
constexpr int NEAR_BLACK = 16;
constexpr int NEAR_WHITE = 239;
// An image whose greys cover less than 1/64 of it is black and white with
// smoothed edges.
constexpr size_t GREY_SHARE = 64;
// A graphic has a few flat greys; a photo, anything from its greys' range.
constexpr int GRAPHIC_LEVELS = 32;

int DarknessOf(const pappl_pr_options_t& options)
{
    const int configured = (options.darkness_configured - NEUTRAL_CONFIGURED_DARKNESS) * 2;
    return std::clamp(configured + options.print_darkness, -100, 100);
}

OneBitMethod MethodFor(const pappl_pr_options_t& options, OneBitMethod automatic)
{
    if (options.print_quality == IPP_QUALITY_DRAFT || options.print_color_mode == PAPPL_COLOR_MODE_BI_LEVEL)
        return OneBitMethod::Threshold;
    switch (options.print_content_optimize) {
    case PAPPL_CONTENT_TEXT:
        return OneBitMethod::Threshold;
    case PAPPL_CONTENT_GRAPHIC:
    case PAPPL_CONTENT_TEXT_AND_GRAPHIC:
        return OneBitMethod::OrderedDither;
    case PAPPL_CONTENT_PHOTO:
        return OneBitMethod::ErrorDiffusion;
    default:
        return automatic;
    }
}

}  // namespace

OneBitMethod MethodForImage(const GreyImage& image)
{
    std::array<bool, 256> seen{};
    size_t greys = 0;
    for (const unsigned char pixel : image.pixels) {
        if (pixel > NEAR_BLACK && pixel < NEAR_WHITE) {
            ++greys;
            seen[pixel] = true;
        }
    }
    if (greys * GREY_SHARE < image.pixels.size())
        return OneBitMethod::Threshold;
    const auto levels = std::count(seen.begin(), seen.end(), true);
    return levels > GRAPHIC_LEVELS ? OneBitMethod::ErrorDiffusion : OneBitMethod::OrderedDither;
}

OneBitOptions OneBitOptionsFor(const pappl_pr_options_t& options, const GreyImage& image)
{
    const bool automatic = options.print_content_optimize == PAPPL_CONTENT_AUTO;
    return {MethodFor(options, automatic ? MethodForImage(image) : OneBitMethod::Threshold), DarknessOf(options)};
}

OneBitOptions OneBitOptionsForStream(const pappl_pr_options_t& options)
{
    OneBitMethod method = MethodFor(options, OneBitMethod::OrderedDither);
    if (method == OneBitMethod::ErrorDiffusion)
        method = OneBitMethod::OrderedDither;
    return {method, DarknessOf(options)};
}

// An image file made into a logo for the printer's memory: read, scaled
// down to the paper's width when it is wider (a narrower one keeps its
// size, a pixel a dot), and made one bit per dot.
#ifndef KORLA_LOGO_IMAGE_H
#define KORLA_LOGO_IMAGE_H

#include <optional>
#include <string>

#include "image_document.h"
#include "one_bit_image.h"
#include "stored_logos.h"

// How one image becomes a logo: its greys as they are (darkness 0), made
// dots by the method and threshold chosen.
struct LogoRecipe {
    std::string path;
    OneBitOptions oneBit;
};

struct PreparedLogo {
    unsigned imageWidth = 0;  // pixels of the file
    unsigned imageHeight = 0;
    LogoBitmap bitmap;        // dots, as it will be stored
};

// The largest image a logo is made from.
inline constexpr ImageLimits LOGO_IMAGE_LIMITS = {8000, 8000, size_t{64} << 20};

// The image scaled to width pixels, its height in proportion (one pixel at
// least), each pixel the mean of the area it covers.
GreyImage ScaledToWidth(const GreyImage& image, unsigned width);

// Nothing, with error saying why, when the file cannot be read.
std::optional<PreparedLogo> PrepareLogo(const LogoRecipe& recipe, unsigned paperWidth, std::string& error);

// "800x300 pixels, scaled to 576x216 dots, threshold 128", or the method
// by name ("error diffusion").
std::string DescribeLogo(const LogoRecipe& recipe, const PreparedLogo& logo);

#endif

#include "render/png_writer.h"

#include <png.h>

#include <cstdint>

namespace render {
namespace {

// RGB triples, in the order of the Colour enumeration.
constexpr std::uint8_t kPalette[kColourCount * 3] = {
    255, 255, 255,  // white paper
    0,   0,   0,    // black dots
    208, 208, 208,  // margin outside the paper
    220, 0,   0,    // cut lines and errors
    0,   64,  220,  // stored logo boxes
    0,   130, 0,    // notes
};

}  // namespace

bool writePng(const Canvas& canvas, const std::string& path, std::string& error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.width());
    image.height = static_cast<png_uint_32>(canvas.height());
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = kColourCount;
    if (!png_image_write_to_file(&image, path.c_str(), 0, canvas.data(), canvas.width(), kPalette)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace render

#include "logo_preview.h"

#include <png.h>

#include <algorithm>

namespace {

constexpr unsigned char PAPER = 255;
constexpr unsigned char DOT = 0;
constexpr unsigned char BAND = 192;
constexpr unsigned BAND_ROWS = 8;

}  // namespace

std::optional<std::vector<unsigned char>> LogoPreviewPng(const std::vector<LogoBitmap>& logos, unsigned paperWidth,
                                                         std::string& error)
{
    unsigned width = paperWidth;
    unsigned height = 0;
    for (const LogoBitmap& logo : logos) {
        width = std::max(width, logo.width);
        height += logo.height + (height > 0 ? BAND_ROWS : 0);
    }
    height = std::max(height, 1u);
    std::vector<unsigned char> pixels(size_t{width} * height, PAPER);
    size_t top = 0;
    for (const LogoBitmap& logo : logos) {
        if (top > 0) {
            std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(top * width), size_t{BAND_ROWS} * width, BAND);
            top += BAND_ROWS;
        }
        for (uint32_t y = 0; y < logo.height; ++y) {
            for (uint32_t x = 0; x < logo.width; ++x) {
                if (logo.Dot(x, y))
                    pixels[(top + y) * width + x] = DOT;
            }
        }
        top += logo.height;
    }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_GRAY;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    std::vector<unsigned char> png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    png.resize(size);
    return png;
}

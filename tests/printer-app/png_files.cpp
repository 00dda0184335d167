#include "png_files.h"

#include <arpa/inet.h>

#include <cstring>
#include <stdexcept>

namespace {

void Append(png_structp png, png_bytep data, size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

// Offset and data length of the first chunk of the type.
std::pair<size_t, uint32_t> FindChunk(const std::string& png, const std::string& type)
{
    constexpr size_t SIGNATURE_BYTES = 8;
    for (size_t at = SIGNATURE_BYTES; at + 8 <= png.size();) {
        uint32_t length;
        memcpy(&length, png.data() + at, 4);
        length = ntohl(length);
        if (png.compare(at + 4, 4, type) == 0)
            return {at, length};
        at += 12 + length;  // length, type, data, CRC
    }
    throw std::invalid_argument("no " + type + " chunk");
}

}  // namespace

std::string EncodePng(const PngSpec& spec)
{
    std::string file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, Append, nullptr);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty())
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()), nullptr);
    if (spec.pixelsPerMetre != 0)
        png_set_pHYs(png, info, spec.pixelsPerMetre, spec.pixelsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    const size_t rowBytes = spec.rows.size() / spec.height;
    std::vector<png_bytep> rows(spec.height);
    for (unsigned y = 0; y < spec.height; ++y)
        rows[y] = const_cast<png_bytep>(spec.rows.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

std::string BarPng(unsigned width, unsigned height)
{
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x)
            spec.rows.push_back(y > height / 4 && y < height / 2 && x > 10 && x < width - 10 ? 0 : 255);
    }
    return EncodePng(spec);
}

std::string BlackPng(unsigned width, unsigned height)
{
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.rows.assign(size_t{width} * height, 0);
    return EncodePng(spec);
}

std::string WithChangedChunkByte(const std::string& png, const std::string& type)
{
    const auto [at, length] = FindChunk(png, type);
    std::string changed = png;
    changed[at + 8 + length / 2] ^= 0x5a;
    return changed;
}

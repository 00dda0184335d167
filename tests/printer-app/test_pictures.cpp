#include "test_pictures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "png_files.h"

GreyPicture GreyReceipt(unsigned width, unsigned bandHeight, std::vector<ReceiptBand>* bands)
{
    constexpr unsigned GAP = 16;
    const char* names[] = {"black", "grey", "ramp", "barcode", "photo"};
    GreyPicture picture{width, 5 * (bandHeight + GAP), std::vector<unsigned char>(size_t{width} * 5 * (bandHeight + GAP), 255)};
    for (unsigned band = 0; band < 5; ++band) {
        const unsigned top = band * (bandHeight + GAP);
        if (bands != nullptr)
            bands->push_back({names[band], top});
        for (unsigned y = top; y < top + bandHeight; ++y) {
            for (unsigned x = 0; x < width; ++x) {
                const double cx = x - width / 2.0, cy = y - top - bandHeight / 2.0;
                const unsigned char values[] = {
                    0,
                    128,
                    static_cast<unsigned char>(255 - x * 255 / (width - 1)),
                    static_cast<unsigned char>((x / 4) % 3 == 0 ? 0 : 255),
                    static_cast<unsigned char>(128 + 100 * std::cos(std::sqrt(cx * cx + cy * cy) / 12)),
                };
                picture.at(x, y) = values[band];
            }
        }
    }
    return picture;
}

std::string GreyPng(const GreyPicture& picture)
{
    PngSpec spec;
    spec.width = picture.width;
    spec.height = picture.height;
    spec.rows = picture.pixels;
    return EncodePng(spec);
}

std::string GreyJpeg(const GreyPicture& picture, int quality, int ppi)
{
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&jpeg, &buffer, &size);
    jpeg.image_width = picture.width;
    jpeg.image_height = picture.height;
    jpeg.input_components = 1;
    jpeg.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, quality, TRUE);
    if (ppi > 0) {
        jpeg.density_unit = 1;
        jpeg.X_density = jpeg.Y_density = static_cast<UINT16>(ppi);
    }
    jpeg_start_compress(&jpeg, TRUE);
    while (jpeg.next_scanline < jpeg.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(picture.pixels.data()) + size_t{jpeg.next_scanline} * picture.width;
        jpeg_write_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    std::string file(reinterpret_cast<const char*>(buffer), size);
    free(buffer);
    return file;
}

ImageDocument ReadBytes(ImageReader reader, const std::string& bytes, const ImageLimits& limits)
{
    FILE* file = tmpfile();
    if (file == nullptr)
        return {std::nullopt, "the test cannot make a temporary file", {}};
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    ImageDocument document = reader(file, limits);
    fclose(file);
    return document;
}

int LargestToneDifference(const Picture& paper, unsigned headWidth, const GreyPicture& source, unsigned block)
{
    const int left = (static_cast<int>(headWidth) - static_cast<int>(source.width)) / 2;
    int largest = 0;
    for (unsigned top = 0; top + block <= source.height && top + block <= unsigned(paper.height); top += block) {
        for (unsigned x0 = 0; x0 + block <= source.width; x0 += block) {
            long printed = 0, wanted = 0;
            for (unsigned y = top; y < top + block; ++y) {
                for (unsigned x = x0; x < x0 + block; ++x) {
                    printed += paper.at(left + static_cast<int>(x), static_cast<int>(y)).r;
                    wanted += source.pixels[size_t{y} * source.width + x];
                }
            }
            largest = std::max(largest, static_cast<int>(std::labs(printed - wanted) / (block * block)));
        }
    }
    return largest;
}

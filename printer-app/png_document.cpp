#include "png_document.h"

#include <png.h>

#include <csetjmp>
#include <new>

namespace {

// A file of many damaged ancillary chunks would warn for each of them.
constexpr size_t MAX_WARNINGS = 8;

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    static_cast<PngDocument*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message)
{
    auto* result = static_cast<PngDocument*>(png_get_error_ptr(png));
    if (result->warnings.size() < MAX_WARNINGS)
        result->warnings.emplace_back(message);
}

// The libpng state of one read, freed however the read ends.
class Decoder {
public:
    explicit Decoder(PngDocument& result)
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, &result, OnError, OnWarning)),
          info_(png_ ? png_create_info_struct(png_) : nullptr)
    {
    }
    ~Decoder() { png_destroy_read_struct(&png_, &info_, nullptr); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

// Every PNG becomes 8-bit grey: grey of 1, 2 or 4 bits spread over 0-255,
// colours by their luminance (PAPPL 1.3.1 prints an sRGB image by its red
// alone: a red logo would vanish, a cyan ground print black), and whatever
// is transparent shows the paper: a logo on a transparent ground prints on
// white, not on black.
void SetTransforms(png_structp png)
{
    png_set_expand(png);
    png_set_rgb_to_gray_fixed(png, PNG_ERROR_ACTION_NONE, -1, -1);
    png_color_16 paper{};
    paper.red = paper.green = paper.blue = paper.gray = 255;
    png_set_background_fixed(png, &paper, PNG_BACKGROUND_GAMMA_SCREEN, 0, PNG_FP_1);
    png_set_scale_16(png);
    png_set_interlace_handling(png);
}

// libpng reports an error by a jump back to the setjmp of the step that
// made it. The two steps below hold nothing but plain data, so that the
// jump skips no destructor.
bool ReadLayout(png_structp png, png_infop info, const ImageLimits& limits)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, limits.maxWidth, limits.maxHeight);
    png_read_info(png, info);
    SetTransforms(png);
    png_read_update_info(png, info);
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    // To the end chunk: a file cut short, or image data that fails its
    // zlib check, is damaged, whatever its rows looked like.
    png_read_end(png, nullptr);
    return true;
}

// Memory for the pixels once the layout is known to be within the limits,
// then the rows into it.
void ReadPixels(png_structp png, png_infop info, const ImageLimits& limits, PngDocument& result)
{
    const size_t rowBytes = png_get_rowbytes(png, info);
    const unsigned height = png_get_image_height(png, info);
    if (height > limits.maxBytes / rowBytes) {
        result.error = "the image needs more memory than a job may have";
        return;
    }
    GreyImage image;
    image.width = png_get_image_width(png, info);
    image.height = height;
    image.ppi = static_cast<int>(png_get_x_pixels_per_inch(png, info));
    image.pixels.resize(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (unsigned y = 0; y < height; ++y)
        rows[y] = image.pixels.data() + y * rowBytes;
    if (ReadRows(png, rows.data()))
        result.image = std::move(image);
}

}  // namespace

PngDocument ReadPngDocument(FILE* file, const ImageLimits& limits)
{
    PngDocument result;
    Decoder decoder(result);
    if (decoder.info() == nullptr) {
        result.error = "out of memory";
        return result;
    }
    png_init_io(decoder.png(), file);
    try {
        if (ReadLayout(decoder.png(), decoder.info(), limits))
            ReadPixels(decoder.png(), decoder.info(), limits, result);
    } catch (const std::bad_alloc&) {
        result.error = "out of memory";
    }
    return result;
}

#include "jpeg_document.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <new>
#include <string>
#include <vector>

namespace {

// libjpeg's error manager with a way back out of the library.
struct ErrorManager {
    jpeg_error_mgr library;
    jmp_buf escape;
    ImageDocument* result;
};

void Fail(j_common_ptr jpeg)
{
    auto* errors = reinterpret_cast<ErrorManager*>(jpeg->err);
    char message[JMSG_LENGTH_MAX];
    (*jpeg->err->format_message)(jpeg, message);
    errors->result->error = message;
    longjmp(errors->escape, 1);
}

// Warnings that say nothing about the image data: an unknown JFIF
// revision or Adobe transform code, a broken ICC profile (the printer uses
// none).
bool IsHarmless(int code)
{
    return code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_BOGUS_ICC;
}

// libjpeg reports damage as a warning and goes on with made-up data (grey
// rows for a file cut short); here damage ends the read.
void OnMessage(j_common_ptr jpeg, int level)
{
    if (level < 0 && !IsHarmless(jpeg->err->msg_code))
        Fail(jpeg);
}

// The libjpeg state of one read, freed however the read ends.
class Decoder {
public:
    Decoder(FILE* file, ImageDocument& result)
    {
        jpeg_.err = jpeg_std_error(&errors_.library);
        errors_.library.error_exit = Fail;
        errors_.library.emit_message = OnMessage;
        errors_.result = &result;
        jpeg_create_decompress(&jpeg_);
        jpeg_stdio_src(&jpeg_, file);
    }
    ~Decoder() { jpeg_destroy_decompress(&jpeg_); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    j_decompress_ptr jpeg() { return &jpeg_; }
    jmp_buf& escape() { return errors_.escape; }

private:
    jpeg_decompress_struct jpeg_{};
    ErrorManager errors_{};
};

bool IsCmyk(j_decompress_ptr jpeg)
{
    return jpeg->jpeg_color_space == JCS_CMYK || jpeg->jpeg_color_space == JCS_YCCK;
}

// libjpeg reports an error by a jump back to the setjmp of the step that
// made it. The two steps below hold nothing but plain data, so that the
// jump skips no destructor.
bool ReadLayout(Decoder& decoder)
{
    j_decompress_ptr jpeg = decoder.jpeg();
    if (setjmp(decoder.escape()))
        return false;
    jpeg_read_header(jpeg, TRUE);
    // libjpeg makes grey of every colour space but CMYK, whose grey is
    // worked out below.
    jpeg->out_color_space = IsCmyk(jpeg) ? JCS_CMYK : JCS_GRAYSCALE;
    jpeg_start_decompress(jpeg);
    return true;
}

// CMYK pixels to grey, in place: the colour's luminance. Adobe's files
// store the inks inverted.
void CmykToGrey(unsigned char* row, unsigned width, bool inverted)
{
    for (unsigned x = 0; x < width; ++x) {
        const unsigned char* ink = row + 4 * x;
        int paper[4];
        for (int i = 0; i < 4; ++i)
            paper[i] = inverted ? ink[i] : 255 - ink[i];
        const int red = paper[0] * paper[3] / 255, green = paper[1] * paper[3] / 255, blue = paper[2] * paper[3] / 255;
        row[x] = static_cast<unsigned char>((299 * red + 587 * green + 114 * blue) / 1000);
    }
}

bool ReadRows(Decoder& decoder, unsigned char* pixels, unsigned char* cmykRow)
{
    j_decompress_ptr jpeg = decoder.jpeg();
    if (setjmp(decoder.escape()))
        return false;
    while (jpeg->output_scanline < jpeg->output_height) {
        unsigned char* row = pixels + size_t{jpeg->output_scanline} * jpeg->output_width;
        JSAMPROW target = cmykRow != nullptr ? cmykRow : row;
        jpeg_read_scanlines(jpeg, &target, 1);
        if (cmykRow != nullptr) {
            CmykToGrey(cmykRow, jpeg->output_width, jpeg->saw_Adobe_marker);
            std::copy(cmykRow, cmykRow + jpeg->output_width, row);
        }
    }
    // To the end marker: a file cut short after its last row is damaged too.
    jpeg_finish_decompress(jpeg);
    return true;
}

int PixelsPerInch(j_decompress_ptr jpeg)
{
    switch (jpeg->density_unit) {
    case 1:
        return jpeg->X_density;
    case 2:
        return static_cast<int>(jpeg->X_density * 254 / 100);
    default:
        return 0;
    }
}

void ReadPixels(Decoder& decoder, const ImageLimits& limits, ImageDocument& result)
{
    j_decompress_ptr jpeg = decoder.jpeg();
    const unsigned width = jpeg->output_width, height = jpeg->output_height;
    if (width > limits.maxWidth || height > limits.maxHeight) {
        result.error = "the image is larger than " + std::to_string(limits.maxWidth) + "x" +
                       std::to_string(limits.maxHeight) + " pixels";
        return;
    }
    if (height > limits.maxBytes / width) {
        result.error = "the image needs more memory than a job may have";
        return;
    }
    GreyImage image;
    image.width = width;
    image.height = height;
    image.ppi = PixelsPerInch(jpeg);
    image.pixels.resize(size_t{width} * height);
    std::vector<unsigned char> cmykRow(IsCmyk(jpeg) ? size_t{width} * 4 : 0);
    if (ReadRows(decoder, image.pixels.data(), cmykRow.empty() ? nullptr : cmykRow.data()))
        result.image = std::move(image);
}

}  // namespace

ImageDocument ReadJpegDocument(FILE* file, const ImageLimits& limits)
{
    ImageDocument result;
    try {
        Decoder decoder(file, result);
        if (ReadLayout(decoder))
            ReadPixels(decoder, limits, result);
    } catch (const std::bad_alloc&) {
        result.error = "out of memory";
    }
    return result;
}

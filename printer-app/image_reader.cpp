#include "image_reader.h"

#include <jpeglib.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <memory>

namespace {

constexpr unsigned char PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G'};
constexpr unsigned char JPEG_SIGNATURE[] = {0xff, 0xd8, 0xff};

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// libjpeg reports an error by a call that must not return: it jumps back
// to the setjmp of the step that made it, with the message kept.
struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr jpeg)
{
    auto* errors = reinterpret_cast<JpegErrors*>(jpeg->err);
    (*jpeg->err->format_message)(jpeg, errors->message);
    longjmp(errors->jump, 1);
}

// The header, asking for grey pixels. Plain data only between the setjmp
// and the calls that may jump.
bool ReadJpegHeader(jpeg_decompress_struct& jpeg, JpegErrors& errors)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_read_header(&jpeg, TRUE);
    jpeg.out_color_space = JCS_GRAYSCALE;
    jpeg_calc_output_dimensions(&jpeg);
    return true;
}

bool ReadJpegRows(jpeg_decompress_struct& jpeg, JpegErrors& errors, unsigned char* pixels)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_start_decompress(&jpeg);
    while (jpeg.output_scanline < jpeg.output_height) {
        JSAMPROW row = pixels + size_t{jpeg.output_scanline} * jpeg.output_width;
        jpeg_read_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_decompress(&jpeg);
    return true;
}

// A JPEG cut short or damaged is refused: libjpeg would fill in what is
// missing, and a logo goes into the printer for years.
std::optional<GreyImage> ReadJpeg(FILE* file, const ImageLimits& limits, std::string& error)
{
    jpeg_decompress_struct jpeg{};
    JpegErrors errors{};
    jpeg.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegError;
    // Warnings (data damaged or cut short) are only counted.
    errors.manager.emit_message = [](j_common_ptr common, int level) {
        if (level < 0)
            ++common->err->num_warnings;
    };
    jpeg_create_decompress(&jpeg);
    jpeg_stdio_src(&jpeg, file);
    std::optional<GreyImage> result;
    if (!ReadJpegHeader(jpeg, errors)) {
        error = errors.message;
    } else if (jpeg.output_width > limits.maxWidth || jpeg.output_height > limits.maxHeight ||
               size_t{jpeg.output_width} * jpeg.output_height > limits.maxBytes) {
        error = "the image is larger than " + std::to_string(limits.maxWidth) + "x" +
                std::to_string(limits.maxHeight) + " pixels";
    } else {
        GreyImage image;
        image.width = jpeg.output_width;
        image.height = jpeg.output_height;
        image.pixels.resize(size_t{image.width} * image.height);
        if (!ReadJpegRows(jpeg, errors, image.pixels.data()))
            error = errors.message;
        else if (errors.manager.num_warnings > 0)
            error = "the JPEG data is damaged or cut short";
        else
            result = std::move(image);
    }
    jpeg_destroy_decompress(&jpeg);
    return result;
}

std::optional<GreyImage> ReadPng(FILE* file, const ImageLimits& limits, std::string& error)
{
    PngDocument document = ReadPngDocument(file, limits);
    if (!document.image)
        error = document.error;
    return std::move(document.image);
}

}  // namespace

std::optional<GreyImage> ReadGreyImage(const std::string& path, const ImageLimits& limits, std::string& error)
{
    const std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::string("cannot open it: ") + strerror(errno);
        return std::nullopt;
    }
    unsigned char start[4] = {};
    const size_t got = fread(start, 1, sizeof start, file.get());
    rewind(file.get());
    if (got >= sizeof PNG_SIGNATURE && memcmp(start, PNG_SIGNATURE, sizeof PNG_SIGNATURE) == 0)
        return ReadPng(file.get(), limits, error);
    if (got >= sizeof JPEG_SIGNATURE && memcmp(start, JPEG_SIGNATURE, sizeof JPEG_SIGNATURE) == 0)
        return ReadJpeg(file.get(), limits, error);
    error = "it is neither a PNG nor a JPEG image";
    return std::nullopt;
}

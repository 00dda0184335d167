#include "image_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "jpeg_document.h"
#include "png_document.h"

namespace {

struct Format {
    const char* signature;
    size_t length;
    ImageReader read;
};

const Format FORMATS[] = {
    {"\x89PNG", 4, ReadPngDocument},
    {"\xff\xd8\xff", 3, ReadJpegDocument},
};

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

ImageDocument ReadImageFile(const std::string& path, const ImageLimits& limits)
{
    ImageDocument document;
    const std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "rb"));
    if (!file) {
        document.error = std::string("cannot open it: ") + strerror(errno);
        return document;
    }
    char start[4] = {};
    const size_t got = fread(start, 1, sizeof start, file.get());
    rewind(file.get());
    for (const Format& format : FORMATS) {
        if (got >= format.length && memcmp(start, format.signature, format.length) == 0)
            return format.read(file.get(), limits);
    }
    document.error = "it is neither a PNG nor a JPEG image";
    return document;
}

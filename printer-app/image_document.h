// An image document read whole, with limits, before any of it is printed:
// a damaged, truncated or oversized file gives a reason, never a picture or
// a hang. What the PNG and JPEG readers give.
#ifndef KORLA_IMAGE_DOCUMENT_H
#define KORLA_IMAGE_DOCUMENT_H

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The largest image a job may hold.
struct ImageLimits {
    unsigned maxWidth;
    unsigned maxHeight;
    size_t maxBytes;  // of the decoded pixels
};

// Decoded pixels, one byte of grey each (0 black, 255 white), top row first.
struct GreyImage {
    unsigned width = 0;
    unsigned height = 0;
    int ppi = 0;  // pixels per inch the file gives, 0 when it gives none
    std::vector<unsigned char> pixels;
};

struct ImageDocument {
    std::optional<GreyImage> image;     // empty when the file cannot be printed
    std::string error;                  // why, when it cannot
    std::vector<std::string> warnings;  // the first few things the reader skipped or mended
};

// ReadPngDocument, ReadJpegDocument: the whole file from where it stands.
using ImageReader = ImageDocument (*)(FILE* file, const ImageLimits& limits);

#endif

// What every image reader of the printer application must do with
// arbitrary bytes: end with either an image of the size it reports or a
// reason, within the limits, and never crash, hang or leak.
#ifndef KORLA_IMAGE_DOCUMENT_CHECK_H
#define KORLA_IMAGE_DOCUMENT_CHECK_H

#include <cstdint>
#include <cstdio>

#include "image_document.h"

inline int CheckImageReader(ImageReader reader, const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return 0;
    // Limits smaller than PAPPL's keep every input quick; they are checked
    // the same way.
    const ImageDocument document = reader(file, {2048, 2048, 16 << 20});
    fclose(file);
    if (document.image.has_value() == !document.error.empty())
        __builtin_trap();
    if (document.image && document.image->pixels.size() != size_t{document.image->width} * document.image->height)
        __builtin_trap();
    return 0;
}

#endif

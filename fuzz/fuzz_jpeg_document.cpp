// The printer application's JPEG reader on arbitrary files: it ends with
// either an image of the size it reports or a reason, within the limits,
// and never crashes, hangs or leaks.
#include <cstdint>
#include <cstdio>

#include "jpeg_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return 0;
    // Limits smaller than PAPPL's keep every input quick; they are checked
    // the same way.
    const ImageDocument document = ReadJpegDocument(file, {2048, 2048, 16 << 20});
    fclose(file);
    if (document.image.has_value() == !document.error.empty())
        __builtin_trap();
    if (document.image && document.image->pixels.size() != size_t{document.image->width} * document.image->height)
        __builtin_trap();
    return 0;
}

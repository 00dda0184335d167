// The printer application's PNG reader on arbitrary files.
#include "image_document_check.h"
#include "png_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return CheckImageReader(ReadPngDocument, data, size);
}

// The printer application's JPEG reader on arbitrary files.
#include "image_document_check.h"
#include "jpeg_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return CheckImageReader(ReadJpegDocument, data, size);
}

#include "RasterToKORLA.h"

#include <cstdlib>

RasterToKORLA::~RasterToKORLA()
{
    ReleaseCaptureBuffers();
}

void RasterToKORLA::ReleaseCaptureBuffers()
{
    free(imageRaw);
    imageRaw = nullptr;
    free(imageBuffer);
    imageBuffer = nullptr;
}

// Reads a JPEG document whole with libjpeg, with limits, before any of it
// is printed. Unlike libjpeg's own habit of filling in what is missing, a
// file cut short or damaged in its image data gives a reason, not a
// picture.
#ifndef KORLA_JPEG_DOCUMENT_H
#define KORLA_JPEG_DOCUMENT_H

#include <cstdio>

#include "image_document.h"

ImageDocument ReadJpegDocument(FILE* file, const ImageLimits& limits);

#endif

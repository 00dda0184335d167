// Reads a PNG document whole, with limits, before any of it is printed.
#ifndef KORLA_PNG_DOCUMENT_H
#define KORLA_PNG_DOCUMENT_H

#include <cstdio>

#include "image_document.h"

using PngDocument = ImageDocument;

PngDocument ReadPngDocument(FILE* file, const ImageLimits& limits);

#endif

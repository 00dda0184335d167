// Reads an image file whole, PNG or JPEG, told apart by its first bytes:
// the images that become logos.
#ifndef KORLA_IMAGE_READER_H
#define KORLA_IMAGE_READER_H

#include <string>

#include "image_document.h"

// No image, and an error saying why, for a file that cannot be opened, is
// neither PNG nor JPEG, is damaged or passes the limits.
ImageDocument ReadImageFile(const std::string& path, const ImageLimits& limits);

#endif

// Reads a PNG or a JPEG file whole into grey pixels, telling the two apart
// by their first bytes: the images that become logos.
#ifndef KORLA_IMAGE_READER_H
#define KORLA_IMAGE_READER_H

#include <optional>
#include <string>

#include "png_document.h"

// Nothing, with error saying why, for a file that cannot be read, is
// neither PNG nor JPEG, is damaged or passes the limits.
std::optional<GreyImage> ReadGreyImage(const std::string& path, const ImageLimits& limits, std::string& error);

#endif

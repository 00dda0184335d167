// Writes a canvas as an indexed-colour PNG file.
#pragma once

#include "render/canvas.h"

#include <string>

namespace render {

// Returns false and says why in error when the file cannot be written.
bool writePng(const Canvas& canvas, const std::string& path, std::string& error);

}  // namespace render

// Readable listing of decoded commands, one line per command or error.
#pragma once

#include "decoder/command.h"

#include <string>
#include <vector>

namespace listing {

// What the command does, in words, e.g. "ESC J 22 print and feed 22 motion units".
std::string describe(const escpos::Command& command);

// "0027 GS v 0 raster image 72 bytes x 800 rows (mode 0)", or for an error
// "0123 ERROR at 123: ...".
std::string formatLine(const escpos::Command& command);

// Every line, each ending in a newline.
std::string formatListing(const std::vector<escpos::Command>& commands);

}  // namespace listing

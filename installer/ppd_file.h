// What libcups's PPD reader makes of a PPD file.
#pragma once

#include <string>

// Reads the PPD file open on fd (from its current offset, which it moves)
// and returns why it cannot be this printer's: libcups cannot read it as a
// PPD, or its *PCFileName and *ModelName are another printer's. Returns ""
// for this printer's PPD.
std::string PpdRefusal(int fd);

// The *NickName of the PPD file at path, which the server shows as the
// printer-make-and-model of a queue made from it; "" when the file cannot be
// read or has none.
std::string PpdNickName(const std::string& path);

// Whole-file reads and writes, with "-" for the standard streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace io {

// path "-" is standard input. A stop signal ends the input early, keeping
// what arrived. Returns false with error set on failure.
bool readWholeInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes the bytes to path, "-" being standard output.
bool writeWholeFile(const std::string& path, const void* data, std::size_t size, std::string& error);

}  // namespace io

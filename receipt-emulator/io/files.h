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

// Gives a file written whole under another name its own name, so that
// whoever finds a file under its name finds it whole.
bool publishFile(const std::string& written, const std::string& path, std::string& error);

// Writes the bytes to a file beside path ("PATH.part") and publishes it.
bool replaceWholeFile(const std::string& path, const void* data, std::size_t size, std::string& error);

}  // namespace io

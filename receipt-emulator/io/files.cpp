#include "io/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace io {

bool readWholeInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::uint8_t buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
    const bool failed = std::ferror(file);
    if (failed) error = path + ": read error";
    if (!standardInput) std::fclose(file);
    return !failed;
}

bool writeWholeFile(const std::string& path, const void* data, std::size_t size, std::string& error)
{
    const bool standardOutput = path == "-";
    std::FILE* file = standardOutput ? stdout : std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // An empty job has no buffer at all; fwrite must not be handed a null one.
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    ok = (standardOutput ? std::fflush(file) : std::fclose(file)) == 0 && ok;
    if (!ok) error = path + ": write error";
    return ok;
}

}  // namespace io

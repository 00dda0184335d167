// Byte-string helpers shared by the emulator tests.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// "1B 40 0A" -> {0x1B, 0x40, 0x0A}
inline Bytes hex(const std::string& text)
{
    Bytes bytes;
    std::istringstream in(text);
    std::string token;
    while (in >> token) bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    return bytes;
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The set-up the driver sends at the start of the job and of every page.
inline const Bytes kDriverSetup = hex("1B 40 1B 40 1B 40 1B 3D 01 1B 52 00 1B 74 02 1B 63 03 02 1B 63 04 00 1D 50 B4 B4");

// GS v 0 header for a normal-scale image.
inline Bytes rasterHeader(unsigned bytesPerRow, unsigned rows)
{
    return {0x1D, 0x76, 0x30, 0x00, std::uint8_t(bytesPerRow), std::uint8_t(bytesPerRow >> 8), std::uint8_t(rows),
            std::uint8_t(rows >> 8)};
}

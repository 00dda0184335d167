// The tests' printer bytes (printer_bytes.h) as the emulator's decoder takes
// them: vectors of bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "printer_bytes.h"

using ByteVector = std::vector<std::uint8_t>;

inline ByteVector vectorOf(const std::string& bytes)
{
    return ByteVector(bytes.begin(), bytes.end());
}

// "1B 40 0A" -> {0x1B, 0x40, 0x0A}
inline ByteVector hex(const std::string& text)
{
    return vectorOf(HexBytes(text));
}

inline ByteVector operator+(ByteVector a, const ByteVector& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The set-up the driver sends at the start of the job and of every page.
inline const ByteVector kDriverSetup = vectorOf(SetUp());

// GS v 0 header for a normal-scale image.
inline ByteVector rasterHeader(unsigned bytesPerRow, unsigned rows)
{
    return vectorOf(ImageCommand(bytesPerRow, rows));
}

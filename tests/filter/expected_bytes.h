// Expected printer bytes, built from the command set's documented bytes.
#ifndef KORLA_TESTS_EXPECTED_BYTES_H
#define KORLA_TESTS_EXPECTED_BYTES_H

#include <cstdio>
#include <initializer_list>
#include <string>

#include "printer_capture.h"

inline std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

// Hex dump, so that a failed comparison shows which byte differs.
inline std::string Hex(const std::string& bytes)
{
    std::string text;
    char byte[4];
    for (unsigned char c : bytes) {
        snprintf(byte, sizeof byte, "%02X ", c);
        text += byte;
    }
    return text;
}

inline void Append(Writes& writes, const Writes& more)
{
    writes.insert(writes.end(), more.begin(), more.end());
}

// The printer set-up, nine writes of 27 bytes.
inline Writes SetUpWrites()
{
    return {Bytes({0x1B, 0x40}), Bytes({0x1B, 0x40}), Bytes({0x1B, 0x40}),
            Bytes({0x1B, 0x3D, 0x01}), Bytes({0x1B, 0x52, 0x00}), Bytes({0x1B, 0x74, 0x02}),
            Bytes({0x1B, 0x63, 0x03, 0x02}), Bytes({0x1B, 0x63, 0x04, 0x00}),
            Bytes({0x1D, 0x50, 0xB4, 0xB4})};
}

inline std::string SetUp() { return Joined(SetUpWrites()); }

inline std::string ImageCommand(unsigned bytesPerLine, unsigned rows)
{
    return Bytes({0x1D, 0x76, 0x30, 0x00, static_cast<int>(bytesPerLine & 0xFF),
                  static_cast<int>((bytesPerLine >> 8) & 0xFF), static_cast<int>(rows & 0xFF),
                  static_cast<int>((rows >> 8) & 0xFF)});
}

inline const std::string kFeedAfterPage = Bytes({0x1B, 0x4A, 0x01});
inline const std::string kFeedBeforeCut = Bytes({0x1B, 0x4A, 0x16});
inline const std::string kPartialCut = Bytes({0x1D, 0x56, 0x42, 0x00});
inline const std::string kPartialCutNoFeed = Bytes({0x1D, 0x56, 0x01, 0x00});
inline const std::string kFeedSixLines = Bytes({0x1B, 0x64, 0x06});
inline const std::string kInitialise = Bytes({0x1B, 0x40});

inline std::string DrawerPulse(int drawer, int time)
{
    return Bytes({0x1B, 0x70, drawer == 1 ? 0x30 : 0x31, time & 0xFF, time & 0xFF});
}

inline Writes LogoBlock(int before, int justification, int image, int quality, int after)
{
    return {Bytes({0x1B, 0x64, before & 0xFF}), Bytes({0x1B, 0x61, justification & 0xFF}),
            Bytes({0x1C, 0x70, image & 0xFF, quality & 0xFF}), Bytes({0x1B, 0x61, 0x00}),
            Bytes({0x1B, 0x64, after & 0xFF})};
}

#endif

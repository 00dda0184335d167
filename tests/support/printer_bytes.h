// The one vocabulary of the tests for what a printer receives: bytes held in
// a std::string, written as numbers or as hexadecimal words, and the
// commands that the receipt engine sends, built from the command set's
// documented bytes. Outlines and failure messages show bytes as Hex() words.
#ifndef KORLA_TESTS_PRINTER_BYTES_H
#define KORLA_TESTS_PRINTER_BYTES_H

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

// "1B 40 0A" -> the three bytes.
std::string HexBytes(const std::string& words);

// The bytes as words, "1B 40 0A", so that a failed comparison shows which
// byte differs.
std::string Hex(const std::string& bytes);

inline void Append(Writes& writes, const Writes& more)
{
    writes.insert(writes.end(), more.begin(), more.end());
}

// The printer set-up at the start of a job and of every page: nine writes
// of 27 bytes.
Writes SetUpWrites();
inline std::string SetUp() { return Joined(SetUpWrites()); }

// GS v 0 for an image of rows of bytesPerLine bytes.
inline std::string ImageCommand(unsigned bytesPerLine, unsigned rows)
{
    return Bytes({0x1D, 0x76, 0x30, 0x00, static_cast<int>(bytesPerLine & 0xFF),
                  static_cast<int>((bytesPerLine >> 8) & 0xFF), static_cast<int>(rows & 0xFF),
                  static_cast<int>((rows >> 8) & 0xFF)});
}

inline const std::string kFeedAfterPage = Bytes({0x1B, 0x4A, 0x01});   // ESC J 1
inline const std::string kFeedBeforeCut = Bytes({0x1B, 0x4A, 0x16});   // ESC J 22, before every cut mode
inline const std::string kPartialCut = Bytes({0x1D, 0x56, 0x42, 0x00});  // GS V 66 0, the PPD's default cut
inline const std::string kPartialCutNoFeed = Bytes({0x1D, 0x56, 0x01, 0x00});
inline const std::string kFeedSixLines = Bytes({0x1B, 0x64, 0x06});    // ESC d 6, no cut
inline const std::string kInitialise = Bytes({0x1B, 0x40});            // ESC @, a job's last command
inline const std::string kImageCommandStart = Bytes({0x1D, 0x76, 0x30});  // GS v 0, before its mode and sizes

// ESC p m t t: drawer 1 is m 0x30, drawer 2 m 0x31.
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

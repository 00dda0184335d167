#include "printer_bytes.h"

#include <cstdio>
#include <sstream>

std::string HexBytes(const std::string& words)
{
    std::string bytes;
    std::istringstream in(words);
    for (std::string word; in >> word;)
        bytes.push_back(static_cast<char>(std::stoul(word, nullptr, 16)));
    return bytes;
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    char word[4];
    for (unsigned char c : bytes) {
        std::snprintf(word, sizeof word, "%02X ", c);
        text += word;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

Writes SetUpWrites()
{
    return {Bytes({0x1B, 0x40}), Bytes({0x1B, 0x40}), Bytes({0x1B, 0x40}),
            Bytes({0x1B, 0x3D, 0x01}), Bytes({0x1B, 0x52, 0x00}), Bytes({0x1B, 0x74, 0x02}),
            Bytes({0x1B, 0x63, 0x03, 0x02}), Bytes({0x1B, 0x63, 0x04, 0x00}),
            Bytes({0x1D, 0x50, 0xB4, 0xB4})};
}

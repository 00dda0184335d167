// PNG files for the tests, written by libpng into memory, and a damaged
// chunk.
#pragma once

#include <png.h>

#include <string>
#include <vector>

struct PngSpec {
    unsigned width = 1;
    unsigned height = 1;
    int colorType = PNG_COLOR_TYPE_GRAY;
    int bitDepth = 8;
    std::vector<unsigned char> rows{};  // the samples as the file holds them, row after row
    bool interlaced = false;
    unsigned pixelsPerMetre = 0;  // a pHYs chunk when not 0
    std::vector<png_color> palette{};
    std::vector<png_byte> paletteAlpha{};  // a tRNS chunk when not empty
};

std::string EncodePng(const PngSpec& spec);

// A grey picture: a black bar on white.
std::string BarPng(unsigned width, unsigned height);
// Black all over: a filled rectangle.
std::string BlackPng(unsigned width, unsigned height);

// The file with a byte in the middle of the first chunk of the type
// changed, so that its CRC no longer matches.
std::string WithChangedChunkByte(const std::string& png, const std::string& type);

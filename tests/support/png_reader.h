// Reads a PNG back with libpng so tests can look at its pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, row by row

    Rgb at(int x, int y) const
    {
        const std::size_t i = (std::size_t(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

inline constexpr Rgb kWhitePixel{255, 255, 255};
inline constexpr Rgb kBlackPixel{0, 0, 0};
inline constexpr Rgb kRedPixel{220, 0, 0};
inline constexpr Rgb kBluePixel{0, 64, 220};

// Fails the calling test (and returns an empty picture) when the file is no PNG.
Picture readPng(const std::string& path);

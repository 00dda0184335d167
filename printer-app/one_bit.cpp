#include "one_bit.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int WHITE = 255;

struct DitherName {
    Dither dither;
    const char* word;
};

constexpr DitherName DITHER_NAMES[] = {{Dither::Threshold, "threshold"}, {Dither::ErrorDiffusion, "diffusion"}};

void SetDot(std::vector<unsigned char>& rows, size_t bytesPerRow, unsigned x, unsigned y)
{
    rows[y * bytesPerRow + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
}

// Errors are carried in sixteenths: 7 to the right, 3, 5 and 1 to the
// pixels below left, below and below right.
void Diffuse(std::vector<unsigned char>& rows, size_t bytesPerRow, const std::vector<unsigned char>& grey,
             unsigned width, unsigned height, int threshold)
{
    std::vector<int> current(width + 2, 0), next(width + 2, 0);  // one spare at each end
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const int value = grey[size_t{y} * width + x] + current[x + 1] / 16;
            const int shown = value < threshold ? 0 : WHITE;
            if (shown == 0)
                SetDot(rows, bytesPerRow, x, y);
            const int error = value - shown;
            current[x + 2] += error * 7;
            next[x] += error * 3;
            next[x + 1] += error * 5;
            next[x + 2] += error;
        }
        current.swap(next);
        std::fill(next.begin(), next.end(), 0);
    }
}

}  // namespace

const char* DitherWord(Dither dither)
{
    for (const DitherName& name : DITHER_NAMES) {
        if (name.dither == dither)
            return name.word;
    }
    return "";
}

bool ParseDither(const std::string& word, Dither& dither)
{
    for (const DitherName& name : DITHER_NAMES) {
        if (word == name.word) {
            dither = name.dither;
            return true;
        }
    }
    return false;
}

std::vector<unsigned char> OneBitRows(const std::vector<unsigned char>& grey, unsigned width, unsigned height,
                                      Dither dither, int threshold)
{
    const size_t bytesPerRow = (size_t{width} + 7) / 8;
    std::vector<unsigned char> rows(bytesPerRow * height, 0);
    if (dither == Dither::ErrorDiffusion) {
        Diffuse(rows, bytesPerRow, grey, width, height, threshold);
        return rows;
    }
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            if (grey[size_t{y} * width + x] < threshold)
                SetDot(rows, bytesPerRow, x, y);
        }
    }
    return rows;
}

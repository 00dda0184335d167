#include "image_scaler.h"

#include <algorithm>
#include <cmath>

namespace {

// The source spans that `to` dots of `from` pixels each cover: dot i covers
// [i * from / to, (i + 1) * from / to).
template <typename Visit>
void ForEachOverlap(uint32_t from, uint32_t to, uint32_t dot, Visit visit)
{
    const double scale = double(from) / to;
    const double start = dot * scale, end = (dot + 1) * scale;
    const uint32_t first = static_cast<uint32_t>(start);
    const uint32_t last = std::min(from - 1, static_cast<uint32_t>(std::ceil(end)) - 1);
    for (uint32_t pixel = first; pixel <= last; ++pixel) {
        const double overlap = std::min(end, pixel + 1.0) - std::max(start, double(pixel));
        if (overlap > 0)
            visit(pixel, overlap / scale);
    }
}

}  // namespace

ImageScaler::ImageScaler(const GreyImage& image, uint32_t width, uint32_t height)
    : image_(image), width_(width), height_(height), shares_(width), sums_(width)
{
    for (uint32_t x = 0; x < width; ++x)
        ForEachOverlap(image.width, width, x,
                       [&](uint32_t column, double weight) { shares_[x].push_back({column, weight}); });
}

void ImageScaler::AddSourceRow(uint32_t row, double weight)
{
    const unsigned char* source = image_.pixels.data() + size_t{row} * image_.width;
    for (uint32_t x = 0; x < width_; ++x) {
        double value = 0;
        for (const Share& share : shares_[x])
            value += source[share.column] * share.weight;
        sums_[x] += value * weight;
    }
}

void ImageScaler::NextRow(unsigned char* out)
{
    std::fill(sums_.begin(), sums_.end(), 0.0);
    ForEachOverlap(image_.height, height_, std::min(row_, height_ - 1),
                   [&](uint32_t row, double weight) { AddSourceRow(row, weight); });
    for (uint32_t x = 0; x < width_; ++x)
        out[x] = static_cast<unsigned char>(std::clamp(std::lround(sums_[x]), 0L, 255L));
    ++row_;
}

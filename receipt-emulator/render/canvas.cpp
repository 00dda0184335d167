#include "render/canvas.h"

#include <algorithm>

namespace render {

Canvas::Canvas(std::vector<std::uint8_t> rowTemplate, int maxRows)
    : rowTemplate_(std::move(rowTemplate)), maxRows_(maxRows)
{
}

void Canvas::growTo(int rows)
{
    if (rows > maxRows_) {
        clipped_ = true;
        rows = maxRows_;
    }
    const int oldHeight = height();
    if (rows <= oldHeight) return;
    pixels_.resize(std::size_t(rows) * rowTemplate_.size());
    for (int row = oldHeight; row < rows; ++row) {
        std::copy(rowTemplate_.begin(), rowTemplate_.end(), pixels_.begin() + std::ptrdiff_t(row) * width());
    }
}

void Canvas::fillRect(int x, int y, int w, int h, Colour colour)
{
    const int left = std::max(x, 0);
    const int right = std::min(x + w, width());
    const int top = std::max(y, 0);
    if (left >= right || h <= 0 || y + h <= 0) return;
    growTo(y + h);
    const int bottom = std::min(y + h, height());
    for (int row = top; row < bottom; ++row) {
        std::fill_n(pixels_.begin() + std::size_t(row) * width() + left, right - left, colour);
    }
}

Colour Canvas::at(int x, int y) const
{
    return static_cast<Colour>(pixels_[std::size_t(y) * width() + x]);
}

}  // namespace render

// An indexed-colour picture whose height grows as it is drawn on, up to a cap.
#pragma once

#include <cstdint>
#include <vector>

namespace render {

enum Colour : std::uint8_t { kWhite, kBlack, kMarginGrey, kCutRed, kLogoBlue, kNoteGreen, kColourCount };

class Canvas {
public:
    // New rows are copies of rowTemplate, whose size is the canvas width.
    Canvas(std::vector<std::uint8_t> rowTemplate, int maxRows);

    int width() const { return static_cast<int>(rowTemplate_.size()); }
    int height() const { return static_cast<int>(pixels_.size() / rowTemplate_.size()); }
    int maxRows() const { return maxRows_; }
    // Something was drawn, or the paper ran on, beyond the row cap.
    bool clipped() const { return clipped_; }
    void markClipped() { clipped_ = true; }

    // Ensures the canvas has at least rows rows, as far as the cap allows.
    void growTo(int rows);
    // Pixels left or right of the canvas are dropped; rows past the cap too.
    void fillRect(int x, int y, int w, int h, Colour colour);
    Colour at(int x, int y) const;
    const std::uint8_t* data() const { return pixels_.data(); }

private:
    std::vector<std::uint8_t> rowTemplate_;
    int maxRows_;
    bool clipped_ = false;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace render

// Turns decoded commands into a picture of the paper as it comes out of the
// printer, with a grey margin on the right for notes.
#pragma once

#include "decoder/command.h"
#include "logos/logo_store.h"
#include "render/canvas.h"
#include "render/paper_position.h"

#include <vector>

namespace render {

inline constexpr int kDotsPerInch = 203;
inline constexpr int kDefaultMotionUnit = 180;  // 1/180 inch
inline constexpr int kLineSpacingDots = kDotsPerInch / 6;
inline constexpr int kMarginWidth = 256;
inline constexpr int kDefaultMaxRows = 40000;  // about 5 m of paper

// Font A sized text: the 5x7 font doubled in a 12 x 24 dot cell.
inline constexpr int kTextScale = 2;
inline constexpr int kTextCellWidth = 12;
inline constexpr int kTextCellHeight = 24;

// A stored logo that the printer does not hold is drawn as a box of this
// size (normal mode), labelled with its number.
inline constexpr int kLogoBoxWidth = 256;
inline constexpr int kLogoBoxHeight = 96;

struct PaperOptions {
    int paperWidth = 576;
    int maxRows = kDefaultMaxRows;
    const logos::LogoStore* logos = nullptr;  // the printer's logos as the job begins; none when null
    // ESC J n moves the paper by n motion units rounded down to whole dots,
    // as printers do whose motion unit does not divide their resolution;
    // otherwise the fractions add up.
    bool wholeDotFeeds = false;
};

// The paper occupies columns [0, paperWidth); the margin lies to its right.
Canvas renderPaper(const std::vector<escpos::Command>& commands, const PaperOptions& options);

// The distance the paper moves for n vertical motion units of 1/unitsPerInch inch.
Distance motionUnits(int n, int unitsPerInch);
// The same, rounded down to whole dots.
Distance wholeDotMotionUnits(int n, int unitsPerInch);

}  // namespace render

// Small built-in 5x7 bitmap font for printable ASCII.
#pragma once

#include "render/canvas.h"

#include <string_view>

namespace render {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
// A character cell leaves one blank column and one blank row around the glyph.
inline constexpr int kCellWidth = kGlyphWidth + 1;
inline constexpr int kCellHeight = kGlyphHeight + 1;

// Draws text with its top-left corner at (x, y), each font dot as a
// scale x scale square. Characters outside printable ASCII draw as '?'.
void drawText(Canvas& canvas, int x, int y, std::string_view text, Colour colour, int scale);

}  // namespace render

// make_job: writes a receipt-like CUPS raster job for the benchmark.
//
//   make_job OUTPUT PAGES ROWS BLANK_ROWS
//
// Every page is 576 dots wide (72 bytes per row) and ROWS rows tall. Above a
// tail of BLANK_ROWS blank rows it holds lines of text-like ink: glyph cells
// 12 dots wide and 24 rows tall, a blank gap of 8 rows between lines, lines of
// varying length. The pattern comes from a fixed seed, so every run writes the
// same bytes. The stream is uncompressed, as CUPS's raster filters hand it on.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <random>
#include <string>
#include <vector>

#include "raster_writer.h"

namespace {

constexpr unsigned PAGE_DOTS = 576;
constexpr unsigned BYTES_PER_ROW = PAGE_DOTS / 8;
constexpr unsigned CELL_DOTS = 12;
constexpr unsigned CELLS_PER_LINE = PAGE_DOTS / CELL_DOTS;
constexpr unsigned GLYPH_ROWS = 24;
constexpr unsigned LINE_ROWS = GLYPH_ROWS + 8;
// The body of a glyph; the rows above and below it are its leading.
constexpr unsigned BODY_TOP = 4;
constexpr unsigned BODY_BOTTOM = 20;

// A glyph drawn as two vertical stems and three horizontal bars; a space has
// neither.
struct Glyph {
    unsigned stems = 0;  // bit mask over the cell's 12 columns
    unsigned bars[3] = {};
};

// One line of text: its glyphs from the left margin.
using TextLine = std::vector<Glyph>;

TextLine RandomLine(std::mt19937& rng)
{
    TextLine line(8 + rng() % (CELLS_PER_LINE - 7));
    for (Glyph& glyph : line) {
        if (rng() % 6 == 0)
            continue;  // a space
        glyph.stems = (1u << (1 + rng() % 10)) | (1u << (1 + rng() % 10));
        for (unsigned& bar : glyph.bars)
            bar = BODY_TOP + rng() % (BODY_BOTTOM - BODY_TOP);
    }
    return line;
}

// Columns inked by the glyph on one of its rows.
unsigned GlyphRowBits(const Glyph& glyph, unsigned glyphRow)
{
    if (glyphRow < BODY_TOP || glyphRow >= BODY_BOTTOM || glyph.stems == 0)
        return 0;
    for (unsigned bar : glyph.bars) {
        if (bar == glyphRow)
            return 0x7FE;  // columns 1 to 10
    }
    return glyph.stems;
}

// Draws one row of the line into row (already zeroed); bit 7 of a byte is the
// leftmost dot.
void DrawLineRow(const TextLine& line, unsigned glyphRow, std::string& row)
{
    for (unsigned cell = 0; cell < line.size(); ++cell) {
        const unsigned bits = GlyphRowBits(line[cell], glyphRow);
        for (unsigned column = 0; column < CELL_DOTS; ++column) {
            if (bits & (1u << column)) {
                const unsigned dot = cell * CELL_DOTS + column;
                row[dot / 8] = static_cast<char>(row[dot / 8] | (0x80 >> (dot % 8)));
            }
        }
    }
}

RasterPage MakePage(std::mt19937& rng, unsigned rows, unsigned blankRows)
{
    RasterPage page{PAGE_DOTS, BYTES_PER_ROW, {}};
    const unsigned inkRows = rows - blankRows;
    TextLine line;
    for (unsigned y = 0; y < rows; ++y) {
        std::string row = BlankRow(BYTES_PER_ROW);
        if (y < inkRows) {
            if (y % LINE_ROWS == 0)
                line = RandomLine(rng);
            if (y % LINE_ROWS < GLYPH_ROWS)
                DrawLineRow(line, y % LINE_ROWS, row);
        }
        page.rows.push_back(std::move(row));
    }
    return page;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 5) {
        fprintf(stderr, "usage: %s OUTPUT PAGES ROWS BLANK_ROWS\n", argv[0]);
        return 2;
    }
    const unsigned pages = static_cast<unsigned>(atoi(argv[2]));
    const unsigned rows = static_cast<unsigned>(atoi(argv[3]));
    const unsigned blankRows = static_cast<unsigned>(atoi(argv[4]));
    if (blankRows > rows) {
        fprintf(stderr, "%s: more blank rows than rows\n", argv[0]);
        return 2;
    }

    try {
        RasterWriter writer(argv[1], RasterFormat::Cups);
        std::mt19937 rng(20240601);
        for (unsigned page = 0; page < pages; ++page)
            writer.WritePage(MakePage(rng, rows, blankRows));
    } catch (const std::exception& error) {
        fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}

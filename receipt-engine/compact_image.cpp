// Compact image mode, for printers on slow links: a page's image goes out as
// bands. A run of blank rows inside the page becomes a paper feed instead of
// image data, and each band of inked rows is one raster image only as wide
// as its rightmost inked byte, still starting at the left margin.
//
// The feeds are counted in dot rows: while a page's feeds go out, the
// vertical motion unit is one dot row (GS P 180 203), so that ESC J n moves
// the paper by exactly n rows on every printer, also on one that rounds each
// feed down to whole dots. The set-up's unit (1/180 inch) is back before
// anything else follows the page.
#include <algorithm>
#include <cstring>

#include "cmd_defs.h"
#include "receipt_engine.h"

namespace {

constexpr uint32_t MAX_FEED_ROWS = 255;  // ESC J n carries one byte
// What a split costs: the next band's image command and the feed.
constexpr size_t SPLIT_COST = 8 + 3;

// One stretch of the page: inked rows (width > 0, in bytes) or blank rows.
struct Stretch {
    uint32_t firstRow;
    uint32_t rows;
    size_t width;  // 0 for blank rows
};

// How many bytes of the row carry ink: up to its rightmost inked byte. A
// blank row is told by one comparison, an inked one read eight bytes at a
// time from the right.
size_t InkedWidth(const unsigned char* row, size_t bytesPerLine)
{
    if (RemoveLine(row, static_cast<long>(bytesPerLine)))
        return 0;
    size_t width = bytesPerLine;
    for (uint64_t word; width >= sizeof word; width -= sizeof word) {
        memcpy(&word, row + width - sizeof word, sizeof word);
        if (word != 0) {
            // The last bytes of the word in memory are its high bytes.
            if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
                return width - static_cast<size_t>(__builtin_clzll(word)) / 8;
            break;
        }
    }
    while (width > 0 && row[width - 1] == 0)
        --width;
    return width;
}

// The longest run of rows of one kind (inked or blank) from `row` on, below
// `end`; an inked run is as wide as its widest row.
Stretch StretchAt(const JOBINFO& page, uint32_t row, uint32_t end)
{
    const size_t bytesPerLine = page.nBytesPerLine;
    const unsigned char* rows = page.szdatabuffer.get();
    Stretch stretch{row, 0, 0};
    if (row >= end)
        return stretch;
    const bool inked = InkedWidth(rows + row * bytesPerLine, bytesPerLine) > 0;
    for (; row < end; ++row) {
        const size_t width = InkedWidth(rows + row * bytesPerLine, bytesPerLine);
        if ((width > 0) != inked)
            break;
        stretch.width = std::max(stretch.width, width);
        ++stretch.rows;
    }
    return stretch;
}

// The rows of a band, each cut to `width` bytes, one after another at the
// band's start; every byte cut off is blank (the band is as wide as its
// widest ink). WidenRows puts them back where they were.
void NarrowRows(unsigned char* band, uint32_t rows, size_t bytesPerLine, size_t width)
{
    if (width == bytesPerLine)
        return;
    for (uint32_t r = 1; r < rows; ++r)
        memmove(band + r * width, band + r * bytesPerLine, width);
}

void WidenRows(unsigned char* band, uint32_t rows, size_t bytesPerLine, size_t width)
{
    if (width == bytesPerLine)
        return;
    for (uint32_t r = rows; r-- > 0;) {
        memmove(band + r * bytesPerLine, band + r * width, width);
        memset(band + r * bytesPerLine + width, 0, bytesPerLine - width);
    }
}

}  // namespace

// The bands and feeds the page goes out as, found as the rows are walked. A
// blank run between two bands joins them when printing it costs no more
// bytes than a split would; the rows above the first ink are fed. (The page
// ends with ink: its blank tail is never printed.)
void ReceiptEngine::PrintCompactImage(JOBINFO& page, uint32_t firstRow, uint32_t endRow)
{
    if (firstRow >= endRow)
        return;
    const unsigned char alignLeft[3] = {0x1b, 0x61, 0x00};  // ESC a 0
    WriteToPrinter(alignLeft, sizeof alignLeft);
    feedUnitIsRow_ = false;

    Stretch band{firstRow, 0, 0};  // inked rows not yet sent; rows 0 before the first ink
    for (uint32_t row = firstRow; row < endRow;) {
        const Stretch stretch = StretchAt(page, row, endRow);
        row += stretch.rows;
        if (stretch.width > 0) {
            band = stretch;
        } else if (band.rows == 0) {
            FeedRows(stretch.rows);
        } else {
            const Stretch after = StretchAt(page, row, endRow);
            row += after.rows;
            const size_t width = std::max(band.width, after.width);
            if (stretch.rows * width <= SPLIT_COST) {
                band.rows += stretch.rows + after.rows;
                band.width = width;
            } else {
                PrintBand(page, band.firstRow, band.rows, band.width);
                FeedRows(stretch.rows);
                band = after;
            }
        }
    }
    PrintBand(page, band.firstRow, band.rows, band.width);
    if (feedUnitIsRow_)
        Send(Set_Horizontal_Vertical_Units);
}

// The band's rows, cut to its width, as images of at most 65535 rows. Each
// image's rows are narrowed in the page's own buffer while they go out, so
// that no band is ever copied.
void ReceiptEngine::PrintBand(JOBINFO& page, uint32_t firstRow, uint32_t rows, size_t width)
{
    const size_t bytesPerLine = page.nBytesPerLine;
    for (uint32_t done = 0; done < rows;) {
        const uint32_t n = std::min(rows - done, MAX_IMAGE_FIELD);
        unsigned char* image = page.szdatabuffer.get() + (firstRow + done) * bytesPerLine;
        NarrowRows(image, n, bytesPerLine, width);
        SendImageCommand(static_cast<uint32_t>(width), n, n * width);
        WriteImageData(image, n * width);
        WidenRows(image, n, bytesPerLine, width);
        done += n;
    }
}

// Feeds the paper by exactly `rows` dot rows, in the unit of one row.
void ReceiptEngine::FeedRows(uint32_t rows)
{
    if (!feedUnitIsRow_) {
        Send(Set_Dot_Row_Vertical_Unit);
        feedUnitIsRow_ = true;
    }
    while (rows > 0) {
        const uint32_t n = std::min(rows, MAX_FEED_ROWS);
        const unsigned char feed[3] = {0x1b, 0x4a, static_cast<unsigned char>(n)};  // ESC J n
        WriteToPrinter(feed, sizeof feed);
        rows -= n;
    }
}

// Reading the pages of the raster stream, each down to its last row with ink.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "RasterToKORLA.h"
#include "trace.h"

namespace {

// Rows are read with as few calls as this allows: any receipt page in one,
// a page of many megabytes in pieces of about this size, so that the blank
// rows of a huge page are never held all at once.
constexpr size_t READ_CHUNK_BYTES = size_t{16} << 20;

// One bit a dot in a luminance colour space: a set bit is white.
bool SetBitIsWhite(const cups_page_header2_t& header)
{
    return header.cupsBitsPerPixel == 1 &&
           (header.cupsColorSpace == CUPS_CSPACE_W || header.cupsColorSpace == CUPS_CSPACE_SW);
}

// Turns rows of white bits into rows of printed dots. The bits past the
// page's width, which only pad a row to whole bytes, stay blank.
void InvertRows(unsigned char* rows, uint32_t count, size_t bytesPerLine, uint32_t width)
{
    const size_t widthBytes = std::min<size_t>(bytesPerLine, (size_t{width} + 7) / 8);
    const bool partialByte = width % 8 != 0 && widthBytes == (size_t{width} + 7) / 8;
    const auto lastByteMask = static_cast<unsigned char>(0xFF << (8 - width % 8));
    for (uint32_t r = 0; r < count; ++r) {
        unsigned char* row = rows + r * bytesPerLine;
        for (size_t i = 0; i < widthBytes; ++i)
            row[i] = static_cast<unsigned char>(~row[i]);
        if (partialByte)
            row[widthBytes - 1] &= lastByteMask;
        std::fill(row + widthBytes, row + bytesPerLine, 0);
    }
}

}  // namespace

// A page that cannot be printed (too wide, not one bit a dot) is read past:
// its rows would never be used.
RasterToKORLA::PageRead RasterToKORLA::ReadPage(RasterStream& stream, const cups_page_header2_t& header,
                                                JOBINFO& page)
{
    PageBuilder builder(page, header.cupsWidth, header.cupsHeight, header.cupsBytesPerLine, header.cupsBitsPerPixel);
    PageRead read = PageRead::Page;
    if (ReceiptEngine::CanPrintRows(header.cupsBytesPerLine, header.cupsBitsPerPixel))
        read = ExtractPrintDataFromRaster(header, stream.Raster(), builder);
    else
        stream.SkipPage(header);
    builder.Finish();
    return read;
}

RasterToKORLA::PageRead RasterToKORLA::ExtractPrintDataFromRaster(const cups_page_header2_t& header,
                                                                  cups_raster_t* ras, PageBuilder& page)
{
    const size_t bytesPerLine = header.cupsBytesPerLine;
    const uint32_t chunkRows =
        static_cast<uint32_t>(std::max<size_t>(READ_CHUNK_BYTES / std::max<size_t>(bytesPerLine, 1), 1));
    uint64_t bytesLeft = PageDataBytes(header);
    for (uint32_t rowsLeft = header.cupsHeight; rowsLeft > 0;) {
        const uint32_t rows = std::min(rowsLeft, chunkRows);
        unsigned char* rowData = page.Reserve(rows);
        const unsigned len = static_cast<unsigned>(rows * bytesPerLine);
        if (rowData == nullptr) {
            page.Discard();
            ReadPastPixels(ras, bytesLeft);
            return page.OverLimit() ? PageRead::OverBudget : PageRead::NoMemory;
        }
        if (cupsRasterReadPixels(ras, rowData, len) != len) {
            KORLALog("CupsRasterReadPixels Failed %d  %s\n", errno, strerror(errno));
            page.Discard();
            return PageRead::CutOff;
        }
        if (SetBitIsWhite(header))
            InvertRows(rowData, rows, bytesPerLine, header.cupsWidth);
        bytesLeft -= len;
        if (!page.Commit(rows)) {
            page.Discard();
            ReadPastPixels(ras, bytesLeft);
            return page.OverLimit() ? PageRead::OverBudget : PageRead::NoMemory;
        }
        rowsLeft -= rows;
    }
    ReadPastPixels(ras, bytesLeft);  // the other planes of a planar page
    return PageRead::Page;
}

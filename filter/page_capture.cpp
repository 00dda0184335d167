// Reading the pages of the raster stream, each down to its last row with ink.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "RasterToKORLA.h"
#include "cups_messages.h"
#include "trace.h"

namespace {

// Rows are read with as few calls as this allows: any receipt page in one,
// a page of many megabytes in pieces of about this size, so that the blank
// rows of a huge page are never held all at once.
constexpr size_t READ_CHUNK_BYTES = size_t{16} << 20;

// A page's byte count and row width must fit the signed 32-bit counts that
// the page's bookkeeping has always used; a header that announces more is as
// good as damaged.
bool FitsPageCounts(const cups_page_header2_t& header)
{
    const unsigned long long pageBytes =
        static_cast<unsigned long long>(header.cupsBytesPerLine) * header.cupsHeight;
    return header.cupsBytesPerLine <= INT_MAX && pageBytes < INT_MAX;
}

}  // namespace

cups_raster_t* RasterToKORLA::OpenRaster(int fd)
{
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (ras == nullptr)
        KORLALog("Can't open CUPS raster file. %s\n", strerror(errno));
    return ras;
}

// The next page into page, reusing its buffer.
RasterToKORLA::PageRead RasterToKORLA::ReadNextPage(cups_raster_t* ras, JOBINFO& page)
{
    cups_page_header2_t header;
    if (!cupsRasterReadHeader2(ras, &header) || !FitsPageCounts(header))
        return PageRead::End;
    PageBuilder builder(page, header.cupsWidth, header.cupsHeight, header.cupsBytesPerLine,
                        header.cupsBitsPerPixel);
    const PageRead read = ExtractPrintDataFromRaster(header, ras, builder);
    builder.Finish();
    return read;
}

RasterToKORLA::PageRead RasterToKORLA::ExtractPrintDataFromRaster(const cups_page_header2_t& header,
                                                                  cups_raster_t* ras, PageBuilder& page)
{
    const size_t bytesPerLine = header.cupsBytesPerLine;
    const uint32_t chunkRows =
        static_cast<uint32_t>(std::max<size_t>(READ_CHUNK_BYTES / std::max<size_t>(bytesPerLine, 1), 1));
    for (uint32_t rowsLeft = header.cupsHeight; rowsLeft > 0;) {
        const uint32_t rows = std::min(rowsLeft, chunkRows);
        unsigned char* rowData = page.Reserve(rows);
        if (rowData == nullptr)
            return PageRead::TooLarge;
        const unsigned len = static_cast<unsigned>(rows * bytesPerLine);
        if (cupsRasterReadPixels(ras, rowData, len) != len) {
            KORLALog("CupsRasterReadPixels Failed %d  %s\n", errno, strerror(errno));
            page.Discard();
            return PageRead::CutOff;
        }
        if (!page.Commit(rows))
            return PageRead::TooLarge;
        rowsLeft -= rows;
    }
    return PageRead::Page;
}

// The pages that print: up to the end of the stream or a page too large.
// Where the stream was cut short on purpose (streamCut), the page it cuts
// off ends the pages too.
RasterToKORLA::PageCount RasterToKORLA::CountPages(int fd, JOBINFO& page, bool streamCut)
{
    PageCount count;
    cups_raster_t* ras = OpenRaster(fd);
    if (ras == nullptr) {
        count.pages = -1;
        return count;
    }
    for (;;) {
        const PageRead read = ReadNextPage(ras, page);
        if (read == PageRead::End)
            break;
        if (read == PageRead::TooLarge || (read == PageRead::CutOff && streamCut)) {
            count.endedEarly = true;
            break;
        }
        ++count.pages;
    }
    cupsRasterClose(ras);
    return count;
}

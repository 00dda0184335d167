// Reading the pages of the raster stream, each down to its last row with ink.
#include <cerrno>
#include <climits>
#include <cstring>

#include "RasterToKORLA.h"
#include "trace.h"

namespace {

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

// The next page into page, reusing its buffer. The pages end with the
// stream or at a damaged header.
RasterToKORLA::PageRead RasterToKORLA::ReadNextPage(cups_raster_t* ras, JOBINFO& page)
{
    cups_page_header2_t header;
    if (!cupsRasterReadHeader2(ras, &header) || !FitsPageCounts(header))
        return PageRead::End;
    PageBuilder builder(page, header.cupsWidth, header.cupsHeight, header.cupsBytesPerLine);
    if (ExtractPrintDataFromRaster(header, ras, builder) < 0) {
        KORLALog("Invalid memory allocation\n");
        return PageRead::OutOfMemory;
    }
    builder.Finish();
    return PageRead::Page;
}

// The whole page is read with one call: for a raster piped in uncompressed,
// libcups then reads it in a few large reads instead of one per row.
long RasterToKORLA::ExtractPrintDataFromRaster(const cups_page_header2_t& header, cups_raster_t* ras,
                                               PageBuilder& page)
{
    unsigned char* rows = page.Reserve(header.cupsHeight);
    if (rows == nullptr)
        return -1;
    const unsigned len = header.cupsHeight * header.cupsBytesPerLine;
    if (cupsRasterReadPixels(ras, rows, len) != len) {
        KORLALog("CupsRasterReadPixels Failed %d  %s\n", errno, strerror(errno));
        page.Discard();
        return 0;
    }
    if (!page.Commit(header.cupsHeight))
        return -1;
    KORLALog("The bufSize is %d\n", static_cast<int>(len));
    return len;
}

// The number of pages the stream holds, read one after another into page;
// -1 when the stream cannot be opened or memory runs out.
int RasterToKORLA::CountPages(int fd, JOBINFO& page)
{
    cups_raster_t* ras = OpenRaster(fd);
    if (ras == nullptr)
        return -1;
    int nTotalPage = 0;
    PageRead read;
    while ((read = ReadNextPage(ras, page)) == PageRead::Page)
        ++nTotalPage;
    cupsRasterClose(ras);
    return read == PageRead::End ? nTotalPage : -1;
}

// The job's pages go to the receipt engine in stream order, each told
// whether it ends a copy.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include <cups/file.h>

#include "RasterToKORLA.h"
#include "cups_messages.h"
#include "trace.h"

namespace {

// The most of a piped raster that is kept: a stream of this size holds
// hundreds of metres of receipt even uncompressed. What comes after it is
// read and dropped, so that the filter before this one is not cut off.
constexpr size_t SPOOL_BYTES_LIMIT = size_t{256} << 20;

// The stream holds every copy, one after another; the copies count tells
// where a copy ends. The last page always ends one, whether or not the
// pages divide evenly into the copies.
class CopyEnds {
public:
    CopyEnds(int nTotalPage, int nJobCopy) : nTotalPage_(nTotalPage), nPagesPerCopy_(nTotalPage / nJobCopy) {}

    // Whether the next page ends a copy.
    bool Next()
    {
        ++nPage_;
        const bool bEndsCopy = nPagesPerCopy_ == nPagePrinted_ || nPage_ == nTotalPage_;
        nPagePrinted_ = bEndsCopy ? 1 : nPagePrinted_ + 1;
        return bEndsCopy;
    }

private:
    int nTotalPage_;
    int nPagesPerCopy_;
    int nPage_ = 0;
    int nPagePrinted_ = 1;
};

bool IsRegularFile(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void RasterToKORLA::StartJob(int fd, int nJobCopy)
{
    KORLALog("Inside StartJob\n");
    KORLALog("DBG : Number of copy = %d\n", nJobCopy);
    if (nJobCopy == 0)
        nJobCopy = 1;

    if (IsRegularFile(fd)) {
        PrintFromFile(fd, nJobCopy, false);
        return;
    }
    bool streamCut = false;
    const int spool = Spool(fd, streamCut);
    if (spool < 0) {
        TellCups("ERROR: No memory to hold the job's raster; nothing was printed.\n");
        return;
    }
    PrintFromFile(spool, nJobCopy, streamCut);
    close(spool);
}

// A memory file holding what fd delivers, up to SPOOL_BYTES_LIMIT
// (streamCut tells when there was more); -1 when it cannot be made. The
// kernel fills it for a fraction of what faulting in the same bytes as the
// filter's own memory costs. A cancelled job stops the spooling.
int RasterToKORLA::Spool(int fd, bool& streamCut) const
{
    const int spool = memfd_create("raster", MFD_CLOEXEC);
    cups_file_t* out = spool < 0 ? nullptr : cupsFileOpenFd(dup(spool), "w");
    if (out == nullptr) {
        if (spool >= 0)
            close(spool);
        return -1;
    }
    std::vector<char> buffer(size_t{1} << 16);
    size_t spooled = 0;
    bool written = true;
    ssize_t got;
    while (written && (got = read(fd, buffer.data(), buffer.size())) != 0 && !engine_.Cancelled()) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        const size_t kept = std::min(static_cast<size_t>(got), SPOOL_BYTES_LIMIT - spooled);
        streamCut = streamCut || kept < static_cast<size_t>(got);
        written = cupsFileWrite(out, buffer.data(), kept) >= 0;
        spooled += kept;
    }
    if (cupsFileClose(out) != 0 || !written) {
        close(spool);
        return -1;
    }
    lseek(spool, 0, SEEK_SET);
    return spool;
}

// Counts the pages, then reads the stream again from where it started and
// prints each page as soon as it is read: one page's room serves the job.
void RasterToKORLA::PrintFromFile(int fd, int nJobCopy, bool streamCut)
{
    if (!engine_.HasSettings())
        return;
    const off_t start = lseek(fd, 0, SEEK_CUR);
    JOBINFO page;
    const PageCount count = CountPages(fd, page, streamCut);
    if (count.pages < 0) {
        TellCups("ERROR: The job is not a CUPS raster stream; nothing was printed.\n");
        return;
    }
    if (lseek(fd, start, SEEK_SET) != start)
        return;
    cups_raster_t* ras = OpenRaster(fd);
    if (ras == nullptr)
        return;

    KORLALog("Number of print job in this page is %d\n", count.pages);
    engine_.BeginJob();
    CopyEnds copyEnds(count.pages, nJobCopy);
    for (int nPage = 1; nPage <= count.pages && !engine_.Cancelled(); ++nPage) {
        const PageRead read = ReadNextPage(ras, page);
        PrintPageOf(page, nPage, count.pages, copyEnds.Next(), read == PageRead::CutOff);
    }
    cupsRasterClose(ras);
    if (count.endedEarly && !engine_.Cancelled())
        TellCups("WARNING: Page %d is too large for a receipt; it and the rest of the job were left out.\n",
                 count.pages + 1);
}

void RasterToKORLA::PrintPageOf(const JOBINFO& page, int nPage, int nTotalPage, bool bEndsCopy, bool cutOff)
{
    TellCups("INFO: Printing page %d of %d\n", nPage, nTotalPage);
    if (cutOff)
        TellCups("WARNING: Page %d is cut off in the raster stream; it prints blank.\n", nPage);
    switch (engine_.PrintPage(page, bEndsCopy)) {
    case PageOutcome::Printed:
        TellCups("PAGE: %d 1\n", nPage);
        break;
    case PageOutcome::LeftOutTooWide:
        TellCups("WARNING: Page %d left out: its rows of %u bytes are wider than the printer takes.\n", nPage,
                 page.nBytesPerLine);
        break;
    case PageOutcome::LeftOutNotOneBit:
        TellCups("WARNING: Page %d left out: it has %u bits per pixel, the printer takes 1.\n", nPage,
                 page.nBitsPerPixel);
        break;
    case PageOutcome::NotPrinted:
        break;
    }
}

// The job's pages go to the receipt engine in stream order, each told
// whether it ends a copy.
#include <sys/stat.h>
#include <unistd.h>

#include "RasterToKORLA.h"
#include "cups_messages.h"
#include "raster_spool.h"
#include "trace.h"

namespace {

// The stream holds every copy, one after another. With the page count
// known, the copies count tells where a copy ends (nPagesPerCopy); without
// it (nPagesPerCopy 0), and in any case, the last page ends one.
class CopyEnds {
public:
    explicit CopyEnds(int nPagesPerCopy) : nPagesPerCopy_(nPagesPerCopy) {}

    // Whether the next page ends a copy.
    bool Next(bool bLastPage)
    {
        const bool bEndsCopy = nPagesPerCopy_ == nPagePrinted_ || bLastPage;
        nPagePrinted_ = bEndsCopy ? 1 : nPagePrinted_ + 1;
        return bEndsCopy;
    }

private:
    int nPagesPerCopy_;
    int nPagePrinted_ = 1;
};

bool IsRegularFile(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// A header that stands for a page of the job, printed or left out.
bool IsPage(RasterStream::Header header)
{
    return header == RasterStream::Header::Page || header == RasterStream::Header::Damaged;
}

// What ended the pages, when it was not the end of the stream.
void ReportEnd(RasterStream::Header header, int nPage)
{
    if (header == RasterStream::Header::Unreadable)
        TellCups("WARNING: Page %d left out: its header is damaged and the raster after it cannot be read, so the "
                 "rest of the job was left out too.\n",
                 nPage);
    else if (header == RasterStream::Header::CutOff)
        TellCups("WARNING: Page %d left out: the raster stream ends inside its header.\n", nPage);
}

}  // namespace

void RasterToKORLA::StartJob(int fd, int nJobCopy)
{
    KORLALog("Inside StartJob\n");
    KORLALog("DBG : Number of copy = %d\n", nJobCopy);
    if (nJobCopy == 0)
        nJobCopy = 1;
    if (!engine_.HasSettings())
        return;
    if (!NeedsPageCount(nJobCopy)) {
        PrintPages(fd, 0, 0);
        return;
    }

    const int input = IsRegularFile(fd) ? fd : Spool(fd);
    if (input < 0)
        return;
    const off_t start = lseek(input, 0, SEEK_CUR);
    const int nTotalPage = CountPages(input);
    if (lseek(input, start, SEEK_SET) == start)
        PrintPages(input, nTotalPage / nJobCopy, nTotalPage);
    if (input != fd)
        close(input);
}

// The piped raster in a file, where it can be counted; -1 when it cannot
// be spooled (CUPS is told) or the job is cancelled meanwhile.
int RasterToKORLA::Spool(int fd)
{
    std::string error;
    const int spool = SpoolToTempFile(fd, [this] { return engine_.Cancelled(); }, error);
    if (spool < 0 && !engine_.Cancelled())
        TellCups("ERROR: Cannot spool the job's raster to count its pages (%s); nothing was printed.\n",
                 error.c_str());
    return spool;
}

// More than one copy, and a copy's end sends something: which pages end a
// copy then depends on the page count.
bool RasterToKORLA::NeedsPageCount(int nJobCopy) const
{
    return nJobCopy > 1 && engine_.MarksCopyEnds();
}

// The pages as PrintPages will find them; the rows are skipped, not read,
// where the stream is uncompressed.
int RasterToKORLA::CountPages(int fd)
{
    RasterStream stream(fd, [this] { return engine_.Cancelled(); });
    if (!stream.Open())
        return 0;
    int nTotalPage = 0;
    cups_page_header2_t header;
    for (RasterStream::Header read; IsPage(read = stream.ReadHeader(header)); ++nTotalPage) {
        if (read == RasterStream::Header::Page)
            stream.SkipPage(header);
    }
    return nTotalPage;
}

bool RasterToKORLA::OpenStream(RasterStream& stream)
{
    if (stream.Open())
        return true;
    if (!engine_.Cancelled())
        TellCups("ERROR: The job is not a CUPS raster stream; nothing was printed.\n");
    return false;
}

// One pass: a page prints once the next page's header has been read, which
// tells whether it was the last. nTotalPage is 0 when the pages were not
// counted.
void RasterToKORLA::PrintPages(int fd, int nPagesPerCopy, int nTotalPage)
{
    RasterStream stream(fd, [this] { return engine_.Cancelled(); });
    if (!OpenStream(stream))
        return;
    KORLALog("Number of print job in this page is %d\n", nTotalPage);
    engine_.BeginJob();

    CopyEnds copyEnds(nPagesPerCopy);
    JOBINFO page;
    cups_page_header2_t header;
    RasterStream::Header next = stream.ReadHeader(header);
    int nPage = 1;
    for (; IsPage(next) && !engine_.Cancelled(); ++nPage) {
        const PageRead read = next == RasterStream::Header::Page ? ReadPage(stream, header, page) : PageRead::Damaged;
        next = stream.ReadHeader(header);
        PrintPageOf(page, read, nPage, nTotalPage, copyEnds.Next(!IsPage(next)));
    }
    if (!engine_.Cancelled())
        ReportEnd(next, nPage);
}

void RasterToKORLA::PrintPageOf(JOBINFO& page, PageRead read, int nPage, int nTotalPage, bool bEndsCopy)
{
    if (nTotalPage > 0)
        TellCups("INFO: Printing page %d of %d\n", nPage, nTotalPage);
    else
        TellCups("INFO: Printing page %d\n", nPage);
    switch (read) {
    case PageRead::Damaged:
        TellCups("WARNING: Page %d left out: its header is damaged.\n", nPage);
        engine_.PrintLeftOutPage(bEndsCopy);
        return;
    case PageRead::OverBudget:
        TellCups("WARNING: Page %d left out: its rows down to the last ink need more than %zu MiB, the most memory "
                 "one page may take.\n",
                 nPage, PAGE_BYTES_LIMIT >> 20);
        engine_.PrintLeftOutPage(bEndsCopy);
        return;
    case PageRead::NoMemory:
        TellCups("WARNING: Page %d left out: there is not enough memory for its rows.\n", nPage);
        engine_.PrintLeftOutPage(bEndsCopy);
        return;
    case PageRead::CutOff:
        TellCups("WARNING: Page %d is cut off in the raster stream; it prints blank.\n", nPage);
        break;
    case PageRead::Page:
        break;
    }
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

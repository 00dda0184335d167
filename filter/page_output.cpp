// The job's pages go to the receipt engine in stream order, each told
// whether it ends a copy.
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "RasterToKORLA.h"
#include "trace.h"

namespace {

// The stream holds every copy, one after another; the copies count only
// tells where a copy ends.
class CopyEnds {
public:
    CopyEnds(int nTotalPage, int nJobCopy) : nPagesPerCopy_(nTotalPage / nJobCopy) {}

    // Whether the next page ends a copy.
    bool Next()
    {
        const bool bEndsCopy = nPagesPerCopy_ == nPagePrinted_;
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

bool WriteAll(int fd, const char* data, size_t len)
{
    while (len > 0) {
        const ssize_t written = write(fd, data, len);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        len -= static_cast<size_t>(written);
    }
    return true;
}

// A memory file holding everything that fd delivers; -1 when it cannot be
// made. The kernel fills it for a fraction of what faulting in the same
// bytes as the filter's own memory costs.
int SpoolIntoMemoryFile(int fd)
{
    const int spool = memfd_create("raster", MFD_CLOEXEC);
    if (spool < 0)
        return -1;
    static char buffer[1 << 16];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || !WriteAll(spool, buffer, static_cast<size_t>(got))) {
            close(spool);
            return -1;
        }
    }
    lseek(spool, 0, SEEK_SET);
    return spool;
}

}  // namespace

void RasterToKORLA::StartJob(int fd, int nJobCopy)
{
    KORLALog("Inside StartJob\n");
    KORLALog("DBG : Number of copy = %d\n", nJobCopy);
    if (nJobCopy == 0)
        nJobCopy = 1;

    if (IsRegularFile(fd)) {
        PrintFromFile(fd, nJobCopy);
        return;
    }
    const int spool = SpoolIntoMemoryFile(fd);
    if (spool < 0) {
        KORLALog("Invalid memory allocation\n");
        return;
    }
    PrintFromFile(spool, nJobCopy);
    close(spool);
}

// Counts the pages, then reads the stream again from where it started and
// prints each page as soon as it is read: one page's room serves the job.
void RasterToKORLA::PrintFromFile(int fd, int nJobCopy)
{
    const off_t start = lseek(fd, 0, SEEK_CUR);
    JOBINFO page;
    const int nTotalPage = CountPages(fd, page);
    if (nTotalPage < 0 || lseek(fd, start, SEEK_SET) != start)
        return;
    cups_raster_t* ras = OpenRaster(fd);
    if (ras == nullptr)
        return;

    KORLALog("Number of print job in this page is %d\n", nTotalPage);
    engine_.BeginJob();
    CopyEnds copyEnds(nTotalPage, nJobCopy);
    for (int i = 0; i < nTotalPage && ReadNextPage(ras, page) == PageRead::Page; ++i)
        engine_.PrintPage(page, copyEnds.Next());
    cupsRasterClose(ras);
}

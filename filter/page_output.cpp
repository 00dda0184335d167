// The job's pages go to the receipt engine in stream order, each told
// whether it ends a copy.
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
    std::vector<JOBINFO> jobInfo;
    if (CapturePages(fd, jobInfo))
        PrintPages(jobInfo, nJobCopy);
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

    engine_.BeginJob();
    CopyEnds copyEnds(nTotalPage, nJobCopy);
    for (int i = 0; i < nTotalPage && ReadNextPage(ras, page) == PageRead::Page; ++i)
        engine_.PrintPage(page, copyEnds.Next());
    cupsRasterClose(ras);
}

void RasterToKORLA::PrintPages(std::vector<JOBINFO>& jobInfo, int nJobCopy)
{
    KORLALog("Number of print job in this page is %d\n", static_cast<int>(jobInfo.size()));
    engine_.BeginJob();
    CopyEnds copyEnds(static_cast<int>(jobInfo.size()), nJobCopy);
    for (JOBINFO& page : jobInfo) {
        engine_.PrintPage(page, copyEnds.Next());
        page.szdatabuffer.reset();  // released as soon as the page is out
    }
    jobInfo.clear();
}

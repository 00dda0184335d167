// The filter's driver: reads a job's CUPS raster once, as it arrives, and
// has the receipt engine print each page as soon as the next page's header
// has told whether it is the job's last. One page is held at a time.
//
// The copies count tells how many copies the stream holds, not where they
// end; where a copy's end sends anything of its own (a cut per copy, drawers
// with every copy) and there is more than one copy, the page count is needed
// before the first page: a raster in a file is then counted first, one from
// a pipe spooled into a file under $TMPDIR and counted there.
#ifndef KORLA_RASTER_TO_KORLA_H
#define KORLA_RASTER_TO_KORLA_H

#include <cups/raster.h>

#include "page_image.h"
#include "raster_stream.h"
#include "receipt_engine.h"

class RasterToKORLA {
public:
    explicit RasterToKORLA(ReceiptEngine& engine) : engine_(engine) {}

    // The job: every page of the raster on fd, printed in stream order.
    // nJobCopy, the copies count of the command line, tells where one copy
    // of the job ends in the stream.
    void StartJob(int fd, int nJobCopy);

    enum class PageRead {
        Page,        // read whole
        CutOff,      // the stream ends inside its rows: it holds none and prints as empty
        OverBudget,  // its rows down to the last ink pass PAGE_BYTES_LIMIT: read past, left out
        NoMemory,    // memory ran out for its rows: read past, left out
        Damaged,     // its header was refused and stepped over: left out
    };

    // Reads the rows of the page whose header was just read into page.
    static PageRead ExtractPrintDataFromRaster(const cups_page_header2_t& header, cups_raster_t* ras,
                                               PageBuilder& page);

private:
    bool NeedsPageCount(int nJobCopy) const;
    int Spool(int fd);
    int CountPages(int fd);
    void PrintPages(int fd, int nPagesPerCopy, int nTotalPage);
    bool OpenStream(RasterStream& stream);
    static PageRead ReadPage(RasterStream& stream, const cups_page_header2_t& header, JOBINFO& page);
    void PrintPageOf(JOBINFO& page, PageRead read, int nPage, int nTotalPage, bool bEndsCopy);

    ReceiptEngine& engine_;
};

#endif

// The filter's driver: reads a job's CUPS raster and has the receipt engine
// print it, telling it where each copy of the job ends. That takes the page
// count, so no page prints before the whole raster has been read: the raster
// is read twice, counted first, then printed page by page. A raster that
// comes through a pipe is first spooled into a memory file; holding its
// pages decoded would cost far more.
#ifndef KORLA_RASTER_TO_KORLA_H
#define KORLA_RASTER_TO_KORLA_H

#include <cups/raster.h>

#include "page_image.h"
#include "receipt_engine.h"

class RasterToKORLA {
public:
    explicit RasterToKORLA(ReceiptEngine& engine) : engine_(engine) {}

    // The job: every page of the raster on fd, printed in stream order.
    // nJobCopy, the copies count of the command line, tells where one copy
    // of the job ends in the stream.
    void StartJob(int fd, int nJobCopy);

    enum class PageRead {
        Page,      // read whole
        CutOff,    // its rows could not all be read: it holds none and prints as empty
        TooLarge,  // it would pass PAGE_BYTES_LIMIT or memory ran out: the pages end before it
        End,       // the stream ends, or a header is damaged
    };

    // Reads the rows of the page whose header was just read into page.
    static PageRead ExtractPrintDataFromRaster(const cups_page_header2_t& header, cups_raster_t* ras,
                                               PageBuilder& page);

private:
    struct PageCount {
        int pages = 0;
        bool endedEarly = false;  // a page too large ended them
    };

    static cups_raster_t* OpenRaster(int fd);
    static PageRead ReadNextPage(cups_raster_t* ras, JOBINFO& page);
    static PageCount CountPages(int fd, JOBINFO& page, bool streamCut);

    int Spool(int fd, bool& streamCut) const;
    void PrintFromFile(int fd, int nJobCopy, bool streamCut);
    void PrintPageOf(const JOBINFO& page, int nPage, int nTotalPage, bool bEndsCopy, bool cutOff);

    ReceiptEngine& engine_;
};

#endif

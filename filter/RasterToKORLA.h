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

    // Reads the rows of the page whose header was just read into page.
    // Returns the bytes read, or -1 when memory runs out. A page whose rows
    // cannot all be read keeps none of them and prints as empty.
    static long ExtractPrintDataFromRaster(const cups_page_header2_t& header, cups_raster_t* ras,
                                           PageBuilder& page);

private:
    enum class PageRead { Page, End, OutOfMemory };

    static cups_raster_t* OpenRaster(int fd);
    static PageRead ReadNextPage(cups_raster_t* ras, JOBINFO& page);
    static int CountPages(int fd, JOBINFO& page);

    void PrintFromFile(int fd, int nJobCopy);

    ReceiptEngine& engine_;
};

#endif

// RasterToKPrinter: the CUPS filter of the receipt printer.
//
//   RasterToKPrinter job-id user title copies options [file]
//
// Reads the job's CUPS raster from file or standard input and writes the
// printer's ESC/POS bytes to standard output. Every receipt setting comes
// from the queue's PPD, named by the environment variable PPD.
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>

#include "RasterToKORLA.h"
#include "filter_const.h"
#include "queue_settings.h"
#include "receipt_engine.h"
#include "trace.h"
#include "trace_log.h"

int main(int argc, char* argv[])
{
    int fd = -1;

    setbuf(stderr, nullptr);
    ResetTraceLog(FILTER_LOG_FILE);
    KORLALog("\n\n------------------------------- Raster START ----------------- \n");

    if (argc < 6 || argc > 7) {
        KORLALog("Insufficient options.\n");
        return 1;
    }
    if (argc == 7) {
        fd = open(argv[6], O_RDONLY);
        if (fd < 0)
            return 1;
    } else {
        fd = 0;
    }

    KORLALog("NUmber of copies %d\n", atoi(argv[4]));
    KORLALog("The jobid of this printer is %d\n", atoi(argv[1]));

    FdPrinterChannel printer(PRINTER_PIPE);
    ReceiptEngine engine(ReadQueueSettings(getenv("PPD")), printer);
    engine.StartDoc();
    RasterToKORLA(engine).StartJob(fd, atoi(argv[4]));
    engine.EndDoc();

    KORLALog("Job Finished\n");
    KORLALog("------------------------------- Raster END ----------------- \n\n\n");
    return 0;
}

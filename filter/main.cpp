// RasterToKPrinter: the CUPS filter of the receipt printer.
//
//   RasterToKPrinter job-id user title copies options [file]
//
// Reads the job's CUPS raster from file or standard input and writes the
// printer's ESC/POS bytes to standard output. Every receipt setting comes
// from the queue's PPD, named by the environment variable PPD.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>

#include "RasterToKORLA.h"
#include "cups_messages.h"
#include "filter_const.h"
#include "queue_settings.h"
#include "receipt_engine.h"
#include "trace.h"
#include "trace_log.h"

namespace {

volatile sig_atomic_t bJobCancelled = 0;

void OnCancel(int)
{
    bJobCancelled = 1;
}

// CUPS cancels a job with SIGTERM. The backends of serial and USB printers
// go on forwarding what the filter writes, so the filter must not die in
// the middle of a command: it finishes the command, resets the printer and
// stops (the receipt engine does that when the channel says so). Without
// SA_RESTART, a write or a read that the signal interrupts returns at once.
void CatchCancel()
{
    struct sigaction action = {};
    action.sa_handler = OnCancel;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
}

std::optional<ReceiptSettings> QueueSettings()
{
    const char* ppd = getenv("PPD");
    std::optional<ReceiptSettings> settings = ReadQueueSettings(ppd);
    if (!settings)
        TellCups("ERROR: Cannot read the queue's PPD file \"%s\"; only the printer set-up was sent.\n",
                 ppd ? ppd : "");
    return settings;
}

}  // namespace

int main(int argc, char* argv[])
{
    int fd = -1;

    setbuf(stderr, nullptr);
    CatchCancel();
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

    FdPrinterChannel printer(PRINTER_PIPE, &bJobCancelled);
    ReceiptEngine engine(QueueSettings(), printer);
    engine.StartDoc();
    RasterToKORLA(engine).StartJob(fd, atoi(argv[4]));
    if (engine.Cancelled())
        engine.EndCancelledJob();
    else
        engine.EndDoc();

    KORLALog("Job Finished\n");
    KORLALog("------------------------------- Raster END ----------------- \n\n\n");
    return 0;
}

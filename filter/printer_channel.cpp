// The one way bytes reach the printer, and the trace call.
#include <cstdio>
#include <unistd.h>

#include "RasterToKORLA.h"
#include "const.h"

// One write per command, never retried: the printer gets each command whole
// or the job goes on without it.
int RasterToKORLA::WriteToPrinter(const unsigned char* szData, size_t nLen)
{
    if (szData == nullptr) {
        KORLALog("ERROR: Invaild write operation\n");
        return -1;
    }
    // A zero-length write sends nothing; skipping the call keeps it that way
    // on every kind of descriptor (a packet socket would send an empty record).
    if (nLen == 0)
        return 0;
    const ssize_t written = write(PRINTER_PIPE, szData, nLen);
    fflush(stdout);
    return static_cast<int>(written);
}

void RasterToKORLA::Send(const ORVIL_CMD& cmd)
{
    WriteToPrinter(reinterpret_cast<const unsigned char*>(cmd.Command),
                   static_cast<size_t>(cmd.nCmdlen));
}

void RasterToKORLA::KORLALog(const char* /*szMsg*/, ...)
{
}

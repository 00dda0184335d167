#include "printer_channel.h"

#include <unistd.h>

// One write per command, never retried: the printer gets each command whole
// or the job goes on without it.
long FdPrinterChannel::Write(const unsigned char* data, size_t len)
{
    return write(fd_, data, len);
}

#include "printer_channel.h"

#include <cerrno>
#include <unistd.h>

// A short write or an interrupted call goes on with the rest, so that a
// command never reaches the printer cut in two, unless the job has been
// cancelled: the engine then decides what the rest becomes.
long FdPrinterChannel::Write(const unsigned char* data, size_t len)
{
    size_t sent = 0;
    while (sent < len) {
        const ssize_t written = write(fd_, data + sent, len - sent);
        if (written > 0)
            sent += static_cast<size_t>(written);
        else if (written == 0 || errno != EINTR)
            return sent > 0 ? static_cast<long>(sent) : -1;
        if (Cancelled())
            break;
    }
    return static_cast<long>(sent);
}

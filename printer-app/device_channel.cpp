#include "device_channel.h"

#include <algorithm>

namespace {

// Long writes (a page image's rows) go out in slices, so that a cancel
// takes effect while they are on their way: the engine then completes the
// image with blank rows.
constexpr size_t SLICE = 4096;

}  // namespace

// Every call sends one slice at least, so that the engine's clean end of a
// cancelled job still gets through.
long DeviceChannel::Write(const unsigned char* data, size_t len)
{
    size_t sent = 0;
    while (sent < len) {
        const size_t slice = std::min(SLICE, len - sent);
        if (papplDeviceWrite(device_, data + sent, slice) != static_cast<ssize_t>(slice))
            return sent > 0 ? static_cast<long>(sent) : -1;
        if (debt_.Owing()) {
            papplDeviceFlush(device_);
            debt_.Paid(slice);
        }
        sent += slice;
        if (Cancelled())
            break;
    }
    return static_cast<long>(sent);
}

// The debt is recorded before the command leaves for the link, and paid
// after each slice has: a server killed in between leaves a debt larger
// than the printer's (by one slice at most), whose excess goes out as NUL
// bytes, which the printer passes over. A smaller one would have the
// printer swallow the next job's first bytes.
void DeviceChannel::ImageStarted(size_t bytes)
{
    debt_.Start(bytes);
    papplDeviceFlush(device_);
}

void DeviceChannel::Flush()
{
    papplDeviceFlush(device_);
}

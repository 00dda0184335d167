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

// The command is flushed to the link before the debt is recorded: a
// command that never left the process leaves the printer owed nothing.
void DeviceChannel::ImageStarted(size_t bytes)
{
    papplDeviceFlush(device_);
    debt_.Start(bytes);
}

void DeviceChannel::Flush()
{
    papplDeviceFlush(device_);
}

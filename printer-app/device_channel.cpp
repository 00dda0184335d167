#include "device_channel.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace {

// Long writes (a page image's rows) go out in slices, so that a cancel
// takes effect while they are on their way: the engine then completes the
// image with blank rows.
constexpr size_t SLICE = 4096;

// How often the end of a job looks whether the printer has read it all: at
// once, then less and less often.
constexpr auto FIRST_ACK_POLL = std::chrono::microseconds(200);
constexpr auto LAST_ACK_POLL = std::chrono::milliseconds(50);

}  // namespace

DeviceChannel::DeviceChannel(pappl_job_t* job, pappl_device_t* device)
    : job_(job), device_(device), debt_(papplJobGetPrinter(job))
{
    deliveredBefore_ = BytesDelivered();
}

// Every call sends one slice at least, so that the engine's clean end of a
// cancelled job still gets through.
long DeviceChannel::Write(const unsigned char* data, size_t len)
{
    size_t sent = 0;
    while (sent < len && !broken_) {
        const size_t slice = std::min(SLICE, len - sent);
        handed_ += slice;
        if (papplDeviceWrite(device_, data + sent, slice) != static_cast<ssize_t>(slice)) {
            ReportBrokenLink();
            break;
        }
        if (debt_.Owing()) {
            papplDeviceFlush(device_);
            debt_.Paid(slice);
        }
        sent += slice;
        if (papplJobIsCanceled(job_))
            break;
    }
    return sent > 0 ? static_cast<long>(sent) : -1;
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

bool DeviceChannel::Flush()
{
    papplDeviceFlush(device_);
    if (!broken_ && BytesDelivered() - deliveredBefore_ < handed_)
        ReportBrokenLink();
    return !broken_ && AwaitPrinter();
}

// A link's buffers hold a whole receipt: the job is done when the printer
// has read it, not when the link took it. A printer that stops reading (out
// of paper in the middle) is waited for; one that goes away breaks the link.
bool DeviceChannel::AwaitPrinter()
{
    ssize_t pending = papplDeviceGetPending(device_);
    std::chrono::microseconds poll = FIRST_ACK_POLL;
    while (pending > 0 && !papplJobIsCanceled(job_) &&
           papplSystemIsRunning(papplPrinterGetSystem(papplJobGetPrinter(job_)))) {
        std::this_thread::sleep_for(poll);
        poll = std::min<std::chrono::microseconds>(2 * poll, LAST_ACK_POLL);
        const ssize_t now = papplDeviceGetPending(device_);
        if (now < 0) {
            ReportBrokenLink(static_cast<size_t>(pending));
            return false;
        }
        pending = now;
    }
    if (pending < 0)
        ReportBrokenLink();
    return pending >= 0;
}

// PAPPL buffers what it is given; its metrics count what the link took.
size_t DeviceChannel::BytesDelivered() const
{
    pappl_devmetrics_t metrics;
    papplDeviceGetMetrics(device_, &metrics);
    return metrics.write_bytes;
}

void DeviceChannel::ReportBrokenLink(size_t unacknowledged)
{
    broken_ = true;
    const size_t delivered = std::min(BytesDelivered() - deliveredBefore_, handed_) - unacknowledged;
    // PAPPL's log knows no %zu: the message is made here, once.
    const std::string message = "Not completed: the link to the printer broke; it took " + std::to_string(delivered) +
                                " of the " + std::to_string(handed_) + " bytes sent.";
    papplLogJob(job_, PAPPL_LOGLEVEL_ERROR, "%s", message.c_str());
    papplJobSetMessage(job_, "%s", message.c_str());
}

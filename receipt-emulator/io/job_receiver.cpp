#include "io/job_receiver.h"

#include "io/status_responder.h"
#include "io/stop_signal.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace io {
namespace {

// A job larger than this is kept only up to here; the rest is read and dropped.
constexpr std::size_t kMaxJobBytes = 64u << 20;

enum class ReadResult { Data, Closed, Nothing };

ReadResult readChunk(int fd, std::vector<std::uint8_t>& chunk)
{
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, kPollSliceMs) <= 0) return ReadResult::Nothing;
    if (!(entry.revents & POLLIN)) return ReadResult::Closed;  // POLLHUP or POLLERR without data
    chunk.resize(65536);
    const ssize_t count = read(fd, chunk.data(), chunk.size());
    if (count > 0) {
        chunk.resize(std::size_t(count));
        return ReadResult::Data;
    }
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return ReadResult::Nothing;
    return ReadResult::Closed;  // end of stream, or EIO once a pty slave is closed
}

void keep(std::vector<std::uint8_t>& job, const std::vector<std::uint8_t>& chunk)
{
    const std::size_t room = kMaxJobBytes - job.size();
    if (chunk.size() > room) std::fprintf(stderr, "receipt-emulator: job over %zu bytes, rest dropped\n", kMaxJobBytes);
    job.insert(job.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(std::min(room, chunk.size())));
}

}  // namespace

bool IdleClock::expired() const
{
    if (timeoutSeconds_ <= 0) return false;
    const std::chrono::duration<double> quiet = std::chrono::steady_clock::now() - last_;
    return quiet.count() >= timeoutSeconds_;
}

void writeAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;  // the peer went away; nothing left to answer
        done += std::size_t(count);
    }
}

ReceivedJob receiveJob(int fd, IdleClock& idle)
{
    ReceivedJob job;
    StatusResponder responder;
    std::vector<std::uint8_t> chunk;
    for (;;) {
        if (stopRequested() || idle.expired()) {
            job.stopAfter = true;
            return job;
        }
        const ReadResult result = readChunk(fd, chunk);
        if (result == ReadResult::Closed) return job;
        if (result == ReadResult::Nothing) continue;
        idle.touch();
        writeAll(fd, responder.feed(chunk.data(), chunk.size()));
        keep(job.bytes, chunk);
    }
}

}  // namespace io

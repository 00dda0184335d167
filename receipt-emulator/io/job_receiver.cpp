#include "io/job_receiver.h"

#include "io/pacer.h"
#include "io/status_responder.h"
#include "io/stop_signal.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <thread>

namespace io {
namespace {

// A job larger than this is kept only up to here; the rest is read and dropped.
constexpr std::size_t kMaxJobBytes = 64u << 20;
constexpr std::size_t kChunkBytes = 65536;

enum class ReadResult { Data, Closed, Nothing };

ReadResult readChunk(int fd, std::vector<std::uint8_t>& chunk, std::size_t most)
{
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, kPollSliceMs) <= 0) return ReadResult::Nothing;
    if (!(entry.revents & POLLIN)) return ReadResult::Closed;  // POLLHUP or POLLERR without data
    chunk.resize(std::min(most, kChunkBytes));
    const ssize_t count = read(fd, chunk.data(), chunk.size());
    if (count > 0) {
        chunk.resize(std::size_t(count));
        // Acknowledge what was read at once, as a printer's network card
        // does, rather than after the kernel's delay: a sender that waits
        // for the printer to have every byte is not held up for nothing.
        // (Not a socket: a pseudo-terminal, where there is nothing to do.)
        const int yes = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &yes, sizeof yes);
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

std::size_t writeWithoutWaiting(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;  // the link is full, or the peer went away
        done += std::size_t(count);
    }
    return bytes.size() - done;
}

void makeNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

ArrivedJob receiveJob(int fd, IdleClock& idle, const ListenSettings& settings)
{
    ArrivedJob job;
    StatusResponder responder(settings.paper);
    Pacer pacer(settings.bytesPerSecond);
    std::size_t repliesDropped = 0;
    std::vector<std::uint8_t> chunk;
    while (!job.last) {
        if (stopRequested()) {
            job.last = true;
        } else if (const int wait = pacer.millisecondsToWait(); wait > 0) {
            // Held back by the link, not idle.
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(wait, kPollSliceMs)));
            idle.touch();
        } else if (idle.expired()) {
            job.last = true;
        } else {
            const ReadResult result = readChunk(fd, chunk, pacer.allowance());
            if (result == ReadResult::Closed) break;
            if (result == ReadResult::Nothing) continue;
            idle.touch();
            pacer.took(chunk.size());
            repliesDropped += writeWithoutWaiting(fd, responder.feed(chunk.data(), chunk.size()));
            keep(job.bytes, chunk);
        }
    }
    if (repliesDropped > 0) {
        std::fprintf(stderr, "receipt-emulator: %zu status replies dropped: the client did not take them\n",
                     repliesDropped);
    }
    job.seconds = pacer.secondsTaking();
    return job;
}

bool handOn(ArrivedJob job, int served, const ListenSettings& settings, const JobHandler& onJob)
{
    job.last = job.last || served == settings.jobs;
    const bool last = job.last;
    onJob(std::move(job));
    return last;
}

}  // namespace io

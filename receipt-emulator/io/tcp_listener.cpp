#include "io/job_receiver.h"
#include "io/listen.h"
#include "io/stop_signal.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace io {
namespace {

// Closes the descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A printer has buffers of a few kilobytes, and connections get the same:
// replies a client does not read fill the transmit buffer and are dropped
// from there on, and with a print speed set a slow printer holds the sender
// back as soon as its receive buffer is full, not megabytes later.
constexpr int kPrinterBufferBytes = 4096;

int openLoopbackListener(int port, bool paced, std::string& error)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kPrinterBufferBytes, sizeof kPrinterBufferBytes);
    if (paced) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kPrinterBufferBytes, sizeof kPrinterBufferBytes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 || listen(fd, 8) < 0) {
        error = "127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

int boundPort(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// Waits for the next client; -1 when the wait ended without one. The client's
// socket does not block, so that replies it does not read cannot hold us.
int acceptClient(int listener, IdleClock& idle)
{
    while (!stopRequested() && !idle.expired()) {
        pollfd entry{listener, POLLIN, 0};
        if (poll(&entry, 1, kPollSliceMs) > 0) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) return client;
        }
    }
    return -1;
}

}  // namespace

bool serveTcp(int port, const ListenSettings& settings, const ReadyHandler& ready, const JobHandler& onJob,
              std::string& error)
{
    const Descriptor listener(openLoopbackListener(port, settings.bytesPerSecond > 0, error));
    if (listener.get() < 0) return false;
    ready(std::to_string(boundPort(listener.get())));
    IdleClock idle(settings.idleTimeoutSeconds);
    for (int served = 1;; ++served) {
        const Descriptor client(acceptClient(listener.get(), idle));
        if (client.get() < 0) break;
        idle.touch();
        if (handOn(receiveJob(client.get(), idle, settings), served, settings, onJob)) break;
    }
    return true;
}

}  // namespace io

#include "loopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in LoopbackAddress()
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The port the socket is bound to; 0 when it is none.
int BoundPort(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

}  // namespace

int FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address = LoopbackAddress();
    const int port = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? BoundPort(fd) : 0;
    close(fd);
    return port;
}

LoopbackServer::LoopbackServer(std::function<void(int fd)> serve) : serve_(std::move(serve))
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = LoopbackAddress();
    if (listener_ < 0 || pipe2(stop_, O_CLOEXEC) != 0 ||
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 8) != 0)
        return;
    port_ = BoundPort(listener_);
    thread_ = std::thread(&LoopbackServer::Serve, this);
}

LoopbackServer::~LoopbackServer()
{
    if (thread_.joinable()) {
        [[maybe_unused]] ssize_t n = write(stop_[1], "", 1);
        thread_.join();
    }
    for (int fd : {listener_, stop_[0], stop_[1]}) {
        if (fd >= 0)
            close(fd);
    }
}

bool LoopbackServer::WaitReadable(int fd) const
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    while (poll(fds, 2, -1) < 0) {
    }
    return fds[1].revents == 0;
}

void LoopbackServer::Serve()
{
    while (WaitReadable(listener_)) {
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            serve_(client);
            close(client);
        }
    }
}

SilentPrinter::SilentPrinter()
    : server_([this](int fd) {
          std::string bytes;
          char buffer[65536];
          for (ssize_t got; server_.WaitReadable(fd) && (got = read(fd, buffer, sizeof buffer)) > 0;)
              bytes.append(buffer, static_cast<size_t>(got));
          std::lock_guard<std::mutex> lock(mutex_);
          connections_.push_back(bytes);
      })
{
}

std::vector<std::string> SilentPrinter::Connections()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
}

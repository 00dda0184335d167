#include "printer_capture.h"

#include <cstdio>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Room for the largest single write a test makes (a page's image data).
constexpr int SOCKET_BUFFER = 8 * 1024 * 1024;

}  // namespace

std::string Joined(const Writes& writes)
{
    std::string all;
    for (const std::string& w : writes)
        all += w;
    return all;
}

PacketCollector::PacketCollector()
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0)
        throw std::runtime_error("socketpair failed");
    readerFd_ = fds[0];
    writerFd_ = fds[1];
    setsockopt(writerFd_, SOL_SOCKET, SO_SNDBUFFORCE, &SOCKET_BUFFER, sizeof SOCKET_BUFFER);
    setsockopt(readerFd_, SOL_SOCKET, SO_RCVBUFFORCE, &SOCKET_BUFFER, sizeof SOCKET_BUFFER);

    reader_ = std::thread([this] {
        std::vector<char> buffer(SOCKET_BUFFER);
        for (;;) {
            const ssize_t n = recv(readerFd_, buffer.data(), buffer.size(), 0);
            if (n <= 0)
                break;  // every writer has closed its end
            packets_.emplace_back(buffer.data(), static_cast<size_t>(n));
        }
    });
}

PacketCollector::~PacketCollector()
{
    if (reader_.joinable())
        Finish();
    close(readerFd_);
}

Writes PacketCollector::Finish()
{
    if (writerFd_ >= 0) {
        close(writerFd_);
        writerFd_ = -1;
    }
    reader_.join();
    return packets_;
}

StdoutCapture::StdoutCapture()
{
    fflush(stdout);
    savedStdout_ = dup(STDOUT_FILENO);
    dup2(collector_.WriterFd(), STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    if (savedStdout_ >= 0)
        Stop();
}

Writes StdoutCapture::Stop()
{
    fflush(stdout);
    dup2(savedStdout_, STDOUT_FILENO);
    close(savedStdout_);
    savedStdout_ = -1;
    return collector_.Finish();
}

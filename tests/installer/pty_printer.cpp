#include "pty_printer.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "status_byte.h"

PtyPrinter::PtyPrinter(std::optional<unsigned char> reply) : reply_(reply)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 || pipe(stop_) != 0)
        return;
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0)
        return;
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY);
    ok_ = slave_ >= 0;
    if (ok_)
        responder_ = std::thread(&PtyPrinter::Answer, this);
}

PtyPrinter::~PtyPrinter()
{
    if (responder_.joinable()) {
        const char stop = 0;
        [[maybe_unused]] ssize_t n = write(stop_[1], &stop, 1);
        responder_.join();
    }
    for (int fd : {master_, slave_, stop_[0], stop_[1]}) {
        if (fd >= 0)
            close(fd);
    }
}

bool PtyPrinter::SetLineSettings(const termios& settings)
{
    return tcsetattr(slave_, TCSANOW, &settings) == 0;
}

std::optional<termios> PtyPrinter::LineSettings() const
{
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0)
        return std::nullopt;
    return settings;
}

// Reads what the installer sends and answers each complete DLE EOT 2.
void PtyPrinter::Answer()
{
    static constexpr auto REQUEST = StatusRequest(StatusKind::OffLine);
    std::size_t matched = 0;
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 || fds[1].revents != 0)
            return;
        unsigned char byte = 0;
        if (read(master_, &byte, 1) != 1)
            return;
        matched = byte == REQUEST[matched] ? matched + 1 : (byte == REQUEST[0] ? 1 : 0);
        if (matched < REQUEST.size())
            continue;
        matched = 0;
        ++requests_;
        if (reply_) {
            [[maybe_unused]] ssize_t n = write(master_, &*reply_, 1);
        }
    }
}

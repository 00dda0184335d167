#include "serial_probe.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "serial_line.h"
#include "status_byte.h"

namespace {

constexpr int PROBE_ATTEMPTS = 4;

// The line of the probe, whatever speed the queue is given afterwards.
SerialLine ProbeLine(const std::string& path)
{
    SerialLine line;
    line.port = path;
    line.baud = 115200;
    line.dataBits = 8;
    line.parity = Parity::None;
    line.flow = FlowControl::None;
    return line;
}

// Sends DLE EOT 2 until a non-zero byte comes back, at most four times.
bool AskUntilAnswered(int fd, const ProbeObserver& observer)
{
    static constexpr auto REQUEST = StatusRequest(StatusKind::OffLine);
    unsigned char reply = 0;
    for (int attempt = 0; reply == 0 && attempt < PROBE_ATTEMPTS; ++attempt) {
        [[maybe_unused]] const ssize_t written = write(fd, REQUEST.data(), REQUEST.size());
        usleep(1000);
        if (read(fd, &reply, 1) == 1) {
            if (observer.received)
                observer.received(reply);
            if (IsStatusByte(reply))
                return true;
        }
        sleep(1);
    }
    return false;
}

}  // namespace

ProbeResult ProbeSerialPort(const std::string& path, const ProbeObserver& observer)
{
    // O_NOCTTY: a probed port must never become the caller's controlling
    // terminal. O_NONBLOCK: reads return at once.
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return ProbeResult::NoPort;
    termios saved{};
    const bool haveSaved = tcgetattr(fd, &saved) == 0;
    ApplySerialLine(fd, ProbeLine(path));
    if (observer.opened)
        observer.opened();
    const bool answered = AskUntilAnswered(fd, observer);
    if (haveSaved) {
        tcflush(fd, TCIOFLUSH);
        tcsetattr(fd, TCSANOW, &saved);
    }
    close(fd);
    return answered ? ProbeResult::Answered : ProbeResult::NoAnswer;
}

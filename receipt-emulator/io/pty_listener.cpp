#include "io/job_receiver.h"
#include "io/listen.h"
#include "io/stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace io {
namespace {

// The pty master, raw so that nothing is echoed, translated or held back
// until a line ends, whatever the client does or does not set on its side;
// non-blocking, so that replies the client does not read cannot hold us.
int openRawPtyMaster(std::string& slavePath, std::string& error)
{
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || grantpt(fd) < 0 || unlockpt(fd) < 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
    makeNonBlocking(fd);
    slavePath = ptsname(fd);
    return fd;
}

// Waits until a client has written something. While no process holds the
// slave open the master reports a hang-up at once, so the loop naps then.
bool waitForSession(int master, IdleClock& idle)
{
    constexpr auto kNap = std::chrono::milliseconds(20);
    while (!stopRequested() && !idle.expired()) {
        pollfd entry{master, POLLIN, 0};
        if (poll(&entry, 1, kPollSliceMs) <= 0) continue;
        if (entry.revents & POLLIN) return true;
        std::this_thread::sleep_for(kNap);
    }
    return false;
}

class SlaveLink {
public:
    SlaveLink(const std::string& linkPath, const std::string& slavePath) : path_(linkPath)
    {
        if (!path_.empty() && symlink(slavePath.c_str(), path_.c_str()) < 0) {
            error_ = path_ + ": " + std::strerror(errno);
            path_.clear();
        }
    }
    ~SlaveLink()
    {
        if (!path_.empty()) unlink(path_.c_str());
    }
    SlaveLink(const SlaveLink&) = delete;
    SlaveLink& operator=(const SlaveLink&) = delete;
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

}  // namespace

bool servePty(const std::string& linkPath, const ListenSettings& settings, const ReadyHandler& ready,
              const JobHandler& onJob, std::string& error)
{
    std::string slavePath;
    const int master = openRawPtyMaster(slavePath, error);
    if (master < 0) return false;
    const SlaveLink link(linkPath, slavePath);
    if (!link.error().empty()) {
        error = link.error();
        close(master);
        return false;
    }
    ready(slavePath);
    IdleClock idle(settings.idleTimeoutSeconds);
    for (int served = 1; waitForSession(master, idle); ++served) {
        if (handOn(receiveJob(master, idle, settings), served, settings, onJob)) break;
    }
    close(master);
    return true;
}

}  // namespace io

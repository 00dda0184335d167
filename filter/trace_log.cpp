// The log lives in world-writable /tmp under a fixed name, so it is opened
// without following a symlink and without blocking, and truncated only when
// it turns out to be a regular file with a single link.
#include "trace_log.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char LOG_START_LINE[] = "LOG START\n";
constexpr mode_t LOG_MODE = 0666;

int OpenTraceLog(const char* path)
{
    const int flags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = open(path, flags);
    if (fd < 0 && errno == ENOENT)
        fd = open(path, flags | O_CREAT | O_EXCL, LOG_MODE);
    return fd;
}

bool IsOwnPlainFile(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

}  // namespace

void ResetTraceLog(const char* path)
{
    const int fd = OpenTraceLog(path);
    if (fd < 0)
        return;
    if (IsOwnPlainFile(fd) && ftruncate(fd, 0) == 0) {
        if (write(fd, LOG_START_LINE, sizeof LOG_START_LINE - 1) < 0) {
            // Nothing more to do: the job goes on without a log.
        }
        fchmod(fd, LOG_MODE);
    }
    close(fd);
}

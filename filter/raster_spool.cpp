#include "raster_spool.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t PIECE_BYTES = size_t{1} << 20;

int CreateUnlinkedFile(std::string& error)
{
    const char* folder = getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/korla-raster-XXXXXX";
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + strerror(errno);
        return -1;
    }
    unlink(path.c_str());
    return fd;
}

bool WriteAll(int fd, const char* data, size_t len)
{
    while (len > 0) {
        const ssize_t written = write(fd, data, len);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        len -= static_cast<size_t>(written);
    }
    return true;
}

// Moves what the pipe holds into the file inside the kernel.
ssize_t SpliceInto(int spool, int fd)
{
    return splice(fd, nullptr, spool, nullptr, PIECE_BYTES, SPLICE_F_MOVE);
}

ssize_t CopyInto(int spool, int fd, std::vector<char>& buffer)
{
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got > 0 && !WriteAll(spool, buffer.data(), static_cast<size_t>(got)))
        return -1;
    return got;
}

}  // namespace

// An input that is no pipe (a socket, say) is copied through a buffer.
int SpoolToTempFile(int fd, const std::function<bool()>& cancelled, std::string& error)
{
    const int spool = CreateUnlinkedFile(error);
    if (spool < 0)
        return -1;
    bool spliced = true;
    std::vector<char> buffer;
    for (;;) {
        if (cancelled()) {
            close(spool);
            return -1;
        }
        const ssize_t got = spliced ? SpliceInto(spool, fd) : CopyInto(spool, fd, buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && spliced && errno == EINVAL) {
            spliced = false;
            buffer.resize(PIECE_BYTES);
            continue;
        }
        if (got == 0)
            break;
        if (got < 0) {
            error = strerror(errno);
            close(spool);
            return -1;
        }
    }
    if (lseek(spool, 0, SEEK_SET) != 0) {
        error = strerror(errno);
        close(spool);
        return -1;
    }
    return spool;
}

#include "io/files.h"

#include "io/stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace io {

namespace {

// Reads to the end of input. A pipe may stay silent: wait in slices, so that
// a stop signal ends the job. The job is then what had arrived: the bytes
// already waiting are taken, up to a few reads' worth should the writer never
// pause. Returns false on a read error, with errno set.
bool readUntilEndOrStop(int fd, std::vector<std::uint8_t>& bytes)
{
    constexpr int kSliceMs = 100;
    int readsAfterStop = 16;
    std::uint8_t buffer[65536];
    for (;;) {
        const bool stopping = stopRequested();
        if (stopping && readsAfterStop-- == 0) return true;
        pollfd entry{fd, POLLIN, 0};
        const int ready = poll(&entry, 1, stopping ? 0 : kSliceMs);
        if (ready == 0 && stopping) return true;
        if (ready <= 0) continue;
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count > 0) bytes.insert(bytes.end(), buffer, buffer + count);
        if (count < 0 && errno != EINTR) return false;
    }
}

}  // namespace

bool readWholeInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    const bool standardInput = path == "-";
    const int fd = standardInput ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && readUntilEndOrStop(fd, bytes);
    if (!ok) error = path + ": " + std::strerror(errno);
    if (fd >= 0 && !standardInput) close(fd);
    return ok;
}

bool writeWholeFile(const std::string& path, const void* data, std::size_t size, std::string& error)
{
    const bool standardOutput = path == "-";
    std::FILE* file = standardOutput ? stdout : std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // An empty job has no buffer at all; fwrite must not be handed a null one.
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    ok = (standardOutput ? std::fflush(file) : std::fclose(file)) == 0 && ok;
    if (!ok) error = path + ": write error";
    return ok;
}

bool publishFile(const std::string& written, const std::string& path, std::string& error)
{
    if (std::rename(written.c_str(), path.c_str()) == 0) return true;
    error = path + ": " + std::strerror(errno);
    return false;
}

bool replaceWholeFile(const std::string& path, const void* data, std::size_t size, std::string& error)
{
    const std::string part = path + ".part";
    return writeWholeFile(part, data, size, error) && publishFile(part, path, error);
}

}  // namespace io

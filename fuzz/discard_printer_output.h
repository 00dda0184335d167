// The fuzz targets drive the real driver code, which writes printer bytes to
// standard output: send them nowhere so that libFuzzer's own output stays
// readable and the runs stay fast.
#ifndef KORLA_FUZZ_DISCARD_PRINTER_OUTPUT_H
#define KORLA_FUZZ_DISCARD_PRINTER_OUTPUT_H

#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

inline void DiscardPrinterOutput()
{
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
}

// A file holding exactly these bytes, rewound, for code that reads a path
// or a descriptor.
inline int MemoryFile(const char* name, const void* data, size_t size)
{
    const int fd = memfd_create(name, MFD_CLOEXEC);
    if (fd >= 0 && write(fd, data, size) == static_cast<ssize_t>(size))
        lseek(fd, 0, SEEK_SET);
    return fd;
}

// The path by which code that opens files by name reaches a memory file.
inline std::string MemoryFilePath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

#endif

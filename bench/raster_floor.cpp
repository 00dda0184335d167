// raster_floor: the least work any filter of this printer has to do, as the
// benchmark's yardstick.
//
//   raster_floor FILE
//
// FILE "-" is standard input.
// Reads every page of the CUPS raster FILE with libcups and writes the page's
// bytes to standard output once, as a whole. One page buffer serves all
// pages; nothing is kept, trimmed or added.
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <cups/raster.h>

namespace {

bool WriteAll(const unsigned char* data, size_t len)
{
    while (len > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, len);
        if (written < 0)
            return false;
        data += written;
        len -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const int fd = std::string(argv[1]) == "-" ? STDIN_FILENO : open(argv[1], O_RDONLY);
    if (fd < 0) {
        perror(argv[1]);
        return 1;
    }
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (ras == nullptr)
        return 1;

    std::vector<unsigned char> page;
    cups_page_header2_t header;
    bool ok = true;
    while (ok && cupsRasterReadHeader2(ras, &header)) {
        const size_t pageBytes = static_cast<size_t>(header.cupsBytesPerLine) * header.cupsHeight;
        page.resize(pageBytes);
        ok = cupsRasterReadPixels(ras, page.data(), static_cast<unsigned>(pageBytes)) == pageBytes &&
             WriteAll(page.data(), pageBytes);
    }
    cupsRasterClose(ras);
    close(fd);
    return ok ? 0 : 1;
}

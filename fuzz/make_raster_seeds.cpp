// Writes small raster streams for the whole-job fuzz target's corpus, in
// both of libcups's stream forms: compressed and uncompressed.
//
//   make_raster_seeds DIR
#include <cups/raster.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A page of text-like ink bands with a blank tail.
void WritePage(cups_raster_t* ras, unsigned bytesPerLine, unsigned rows, unsigned blankTail)
{
    cups_page_header2_t header{};
    header.HWResolution[0] = header.HWResolution[1] = 203;
    header.cupsWidth = bytesPerLine * 8;
    header.cupsHeight = rows;
    header.cupsBytesPerLine = bytesPerLine;
    header.cupsBitsPerColor = header.cupsBitsPerPixel = 1;
    header.cupsColorSpace = CUPS_CSPACE_K;
    cupsRasterWriteHeader2(ras, &header);
    std::vector<unsigned char> row(bytesPerLine);
    for (unsigned y = 0; y < rows; ++y) {
        for (unsigned x = 0; x < bytesPerLine; ++x)
            row[x] = (y + blankTail < rows && (y / 3) % 4 != 3) ? static_cast<unsigned char>(x * 7 + y) : 0;
        cupsRasterWritePixels(ras, row.data(), bytesPerLine);
    }
}

void WriteSeed(const std::string& path, cups_mode_t mode)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    cups_raster_t* ras = cupsRasterOpen(fd, mode);
    WritePage(ras, 8, 24, 6);
    WritePage(ras, 3, 10, 10);
    WritePage(ras, 16, 12, 0);
    cupsRasterClose(ras);
    close(fd);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    WriteSeed(dir + "/uncompressed.ras", CUPS_RASTER_WRITE);
    WriteSeed(dir + "/compressed.ras", CUPS_RASTER_WRITE_COMPRESSED);
    WriteSeed(dir + "/pwg.ras", CUPS_RASTER_WRITE_PWG);
    return 0;
}

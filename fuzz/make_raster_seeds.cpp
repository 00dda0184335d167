// Writes small raster streams for the whole-job fuzz target's corpus, in
// each of libcups's stream forms: uncompressed, compressed and PWG.
//
//   make_raster_seeds DIR
#include <string>

#include "raster_writer.h"

namespace {

// A page of text-like ink bands with a blank tail.
RasterPage Page(unsigned bytesPerLine, unsigned rows, unsigned blankTail)
{
    RasterPage page{bytesPerLine * 8, bytesPerLine, {}};
    for (unsigned y = 0; y < rows; ++y) {
        std::string row(bytesPerLine, '\0');
        for (unsigned x = 0; x < bytesPerLine; ++x)
            row[x] = (y + blankTail < rows && (y / 3) % 4 != 3) ? static_cast<char>(x * 7 + y) : 0;
        page.rows.push_back(row);
    }
    return page;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    const std::vector<RasterPage> pages = {Page(8, 24, 6), Page(3, 10, 10), Page(16, 12, 0)};
    WriteRaster(dir + "/uncompressed.ras", pages, RasterFormat::Cups);
    WriteRaster(dir + "/compressed.ras", pages, RasterFormat::CupsCompressed);
    WriteRaster(dir + "/pwg.ras", pages, RasterFormat::Pwg);
    return 0;
}

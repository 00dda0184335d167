// CUPS raster streams written with libcups's own writer: the one writer of
// the tests, the benchmark's jobs and the fuzzers' seeds.
#ifndef KORLA_TESTS_RASTER_WRITER_H
#define KORLA_TESTS_RASTER_WRITER_H

#include <cups/raster.h>

#include <string>
#include <vector>

struct RasterPage {
    unsigned width = 0;                // cupsWidth, in dots
    unsigned bytesPerLine = 0;         // cupsBytesPerLine
    std::vector<std::string> rows = {};  // each bytesPerLine bytes, top to bottom
    unsigned announcedHeight = 0;      // cupsHeight when it is not rows.size() + repeats
    std::string repeatedRow = {};      // written `repeats` times after rows, without being held here
    unsigned repeats = 0;
    unsigned bitsPerPixel = 1;         // cupsBitsPerPixel: 1 black, 8 grey, 24 RGB
};

// A row of bytesPerLine bytes with ink; seed varies its pattern.
std::string InkRow(unsigned bytesPerLine, unsigned seed = 1);
std::string BlankRow(unsigned bytesPerLine);

// A page bytesPerLine * 8 dots wide: inkRows rows with ink, then blankRows
// blank rows.
RasterPage PageWithBlankTail(unsigned bytesPerLine, unsigned inkRows, unsigned blankRows);

enum class RasterFormat { Cups, CupsCompressed, Pwg };

// A stream written page by page, for jobs too large to hold whole.
class RasterWriter {
public:
    // Throws std::runtime_error when the file cannot be created.
    RasterWriter(const std::string& path, RasterFormat format);
    ~RasterWriter();  // ends the stream
    RasterWriter(const RasterWriter&) = delete;
    RasterWriter& operator=(const RasterWriter&) = delete;

    void WritePage(const RasterPage& page);

private:
    RasterFormat format_;
    int fd_ = -1;
    cups_raster_t* raster_ = nullptr;
};

// Writes the pages as a one-bit black raster stream to path.
void WriteRaster(const std::string& path, const std::vector<RasterPage>& pages, bool compressed);
void WriteRaster(const std::string& path, const std::vector<RasterPage>& pages, RasterFormat format);

// The page's bytes from the top down to its last row with ink.
std::string TrimmedImage(const RasterPage& page);

#endif

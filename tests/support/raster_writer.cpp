#include "raster_writer.h"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

std::string InkRow(unsigned bytesPerLine, unsigned seed)
{
    std::string row(bytesPerLine, '\0');
    for (unsigned i = 0; i < bytesPerLine; ++i)
        row[i] = static_cast<char>((i * 37 + seed * 11) % 251 + 1);
    return row;
}

std::string BlankRow(unsigned bytesPerLine)
{
    return std::string(bytesPerLine, '\0');
}

RasterPage PageWithBlankTail(unsigned bytesPerLine, unsigned inkRows, unsigned blankRows)
{
    RasterPage page{bytesPerLine * 8, bytesPerLine, {}};
    for (unsigned i = 0; i < inkRows; ++i)
        page.rows.push_back(InkRow(bytesPerLine, i));
    page.rows.insert(page.rows.end(), blankRows, BlankRow(bytesPerLine));
    return page;
}

void WriteRaster(const std::string& path, const std::vector<RasterPage>& pages, bool compressed)
{
    WriteRaster(path, pages, compressed ? RasterFormat::CupsCompressed : RasterFormat::Cups);
}

void WriteRaster(const std::string& path, const std::vector<RasterPage>& pages, RasterFormat format)
{
    RasterWriter writer(path, format);
    for (const RasterPage& page : pages)
        writer.WritePage(page);
}

RasterWriter::RasterWriter(const std::string& path, RasterFormat format) : format_(format)
{
    static const cups_mode_t MODES[] = {CUPS_RASTER_WRITE, CUPS_RASTER_WRITE_COMPRESSED, CUPS_RASTER_WRITE_PWG};
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0)
        throw std::runtime_error("cannot create " + path);
    raster_ = cupsRasterOpen(fd_, MODES[static_cast<int>(format)]);
}

RasterWriter::~RasterWriter()
{
    cupsRasterClose(raster_);
    close(fd_);
}

void RasterWriter::WritePage(const RasterPage& page)
{
    cups_page_header2_t header{};
    if (format_ == RasterFormat::Pwg) {
        // PWG raster states its page size in points and its colours.
        header.PageSize[0] = page.width * 72 / 203;
        header.PageSize[1] = static_cast<unsigned>(page.rows.size()) * 72 / 203;
        header.cupsNumColors = 1;
    }
    header.HWResolution[0] = header.HWResolution[1] = 203;
    header.cupsWidth = page.width;
    header.cupsHeight = page.announcedHeight ? page.announcedHeight
                                             : static_cast<unsigned>(page.rows.size()) + page.repeats;
    header.cupsBytesPerLine = page.bytesPerLine;
    header.cupsBitsPerPixel = page.bitsPerPixel;
    header.cupsBitsPerColor = page.bitsPerPixel == 24 ? 8 : page.bitsPerPixel;
    header.cupsColorSpace = page.bitsPerPixel == 1 ? CUPS_CSPACE_K
                            : page.bitsPerPixel == 24 ? CUPS_CSPACE_SRGB : CUPS_CSPACE_SW;
    header.cupsColorOrder = CUPS_ORDER_CHUNKED;
    header.NumCopies = 1;
    cupsRasterWriteHeader2(raster_, &header);
    for (const std::string& row : page.rows) {
        std::string copy = row;  // the writer takes a non-const buffer
        cupsRasterWritePixels(raster_, reinterpret_cast<unsigned char*>(copy.data()), static_cast<unsigned>(copy.size()));
    }
    std::string repeated = page.repeatedRow;
    for (unsigned i = 0; i < page.repeats; ++i)
        cupsRasterWritePixels(raster_, reinterpret_cast<unsigned char*>(repeated.data()),
                              static_cast<unsigned>(repeated.size()));
}

std::string TrimmedImage(const RasterPage& page)
{
    size_t rows = page.rows.size();
    while (rows > 0 && page.rows[rows - 1].find_first_not_of('\0') == std::string::npos)
        --rows;
    std::string image;
    for (size_t i = 0; i < rows; ++i)
        image += page.rows[i];
    return image;
}

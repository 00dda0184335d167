#include "receipt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cups/raster.h>
#include <gtest/gtest.h>

#include "child_process.h"
#include "print_chain.h"
#include "temp_dir.h"

namespace {

bool IsBlank(const std::string& row)
{
    return row.find_first_not_of('\0') == std::string::npos;
}

// Reads every page of a raster file, leaving out each page's blank tail.
std::vector<ReferencePage> ReadRaster(const std::string& path)
{
    std::vector<ReferencePage> pages;
    const int fd = open(path.c_str(), O_RDONLY);
    cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_READ);
    cups_page_header2_t header;
    while (raster && cupsRasterReadHeader2(raster, &header)) {
        ReferencePage page;
        page.pageRows = header.cupsHeight;
        page.image.bytesPerRow = header.cupsBytesPerLine;
        std::string row(header.cupsBytesPerLine, '\0');
        std::size_t inked = 0;
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            cupsRasterReadPixels(raster, reinterpret_cast<unsigned char*>(row.data()), header.cupsBytesPerLine);
            page.image.data += row;
            if (!IsBlank(row))
                inked = page.image.data.size();
        }
        page.image.data.resize(inked);
        page.image.rows = static_cast<unsigned>(inked / header.cupsBytesPerLine);
        pages.push_back(page);
    }
    cupsRasterClose(raster);
    close(fd);
    return pages;
}

}  // namespace

std::vector<ReferencePage> ReferencePages(const std::string& document, const std::vector<std::string>& options)
{
    std::vector<std::string> argv = {"/usr/sbin/cupsfilter", "-p", ShippedPpd(), "-m", "application/vnd.cups-raster"};
    for (const std::string& option : options) {
        argv.push_back("-o");
        argv.push_back(option);
    }
    argv.push_back(document);
    const ChildResult run = RunChild(argv, {});
    TempDir folder{"korla-reference-"};
    const std::string raster = folder / "pages.ras";
    if (run.exitStatus != 0 || !WriteFile(raster, run.out)) {
        ADD_FAILURE() << "cupsfilter failed on " << document << ": " << run.err;
        return {};
    }
    return ReadRaster(raster);
}

std::vector<PageImage> ImagesOf(const std::vector<ReferencePage>& pages)
{
    std::vector<PageImage> images;
    for (const ReferencePage& page : pages)
        images.push_back(page.image);
    return images;
}

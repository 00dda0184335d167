#include "receipt.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <cups/raster.h>
#include <gtest/gtest.h>

#include "child_process.h"
#include "decoder/decoder.h"
#include "print_chain.h"
#include "temp_dir.h"

namespace {

constexpr char SET_UP_LITERAL[] =
    "\x1b\x40\x1b\x40\x1b\x40\x1b\x3d\x01\x1b\x52\x00\x1b\x74\x02\x1b\x63\x03\x02\x1b\x63\x04\x00\x1d\x50\xb4\xb4";
const std::string SET_UP_BYTES(SET_UP_LITERAL, sizeof SET_UP_LITERAL - 1);  // 27 bytes, zeros included

std::string Hex(const std::string& bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        char word[4];
        std::snprintf(word, sizeof word, "%02X ", byte);
        text += word;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

PageImage ImageOf(const escpos::Command& command)
{
    return {escpos::rasterBytesPerRow(command), escpos::rasterRows(command),
            std::string(command.data.begin(), command.data.end())};
}

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

void PrintTo(const PageImage& image, std::ostream* out)
{
    std::uint64_t digest = 1469598103934665603ull;  // FNV-1a
    for (unsigned char byte : image.data)
        digest = (digest ^ byte) * 1099511628211ull;
    *out << image.bytesPerRow << " bytes x " << image.rows << " rows, " << image.data.size() << " bytes, digest "
         << std::hex << digest << std::dec;
}

Receipt ReadReceipt(const std::string& bytes)
{
    Receipt receipt;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t setUpEnd = 0;  // commands before this offset belong to a set-up already listed
    for (const escpos::Command& command : escpos::decode(data, bytes.size())) {
        if (command.op == escpos::Op::Error) {
            receipt.outline.push_back("ERROR " + command.message);
        } else if (command.offset < setUpEnd) {
            continue;
        } else if (bytes.compare(command.offset, SET_UP_BYTES.size(), SET_UP_BYTES) == 0) {
            receipt.outline.push_back(SET_UP);
            setUpEnd = command.offset + SET_UP_BYTES.size();
        } else if (command.op == escpos::Op::RasterImage && escpos::rasterMode(command) == 0) {
            receipt.outline.push_back(IMAGE);
            receipt.images.push_back(ImageOf(command));
        } else {
            receipt.outline.push_back(Hex(bytes.substr(command.offset, command.length)));
        }
    }
    return receipt;
}

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

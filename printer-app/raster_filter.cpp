#include "raster_filter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drivers.h"

namespace {

// A raster stream opened on the job's file; closes both.
class RasterFile {
public:
    explicit RasterFile(const char* filename) : fd_(open(filename, O_RDONLY | O_CLOEXEC))
    {
        if (fd_ >= 0)
            raster_ = cupsRasterOpen(fd_, CUPS_RASTER_READ);
    }
    ~RasterFile()
    {
        if (raster_ != nullptr)
            cupsRasterClose(raster_);
        if (fd_ >= 0)
            close(fd_);
    }
    RasterFile(const RasterFile&) = delete;
    RasterFile& operator=(const RasterFile&) = delete;

    cups_raster_t* get() const { return raster_; }

private:
    int fd_;
    cups_raster_t* raster_ = nullptr;
};

// The page layouts the receipt callbacks take: one or eight bits of grey or
// black a pixel, chunked, rows exactly as long as their pixels.
bool PrintableLayout(const cups_page_header2_t& header)
{
    return header.cupsWidth > 0 && header.cupsHeight > 0 &&
           (header.cupsBitsPerPixel == 1 || header.cupsBitsPerPixel == 8) &&
           header.cupsColorOrder == CUPS_ORDER_CHUNKED &&
           header.cupsBytesPerLine == (header.cupsWidth * header.cupsBitsPerPixel + 7) / 8;
}

// Reads the whole document without printing it; "" and the page count when
// every page is whole, else why not.
std::string CheckDocument(const char* filename, unsigned& pages)
{
    RasterFile file(filename);
    if (file.get() == nullptr)
        return "the job's file cannot be opened";
    cups_page_header2_t header;
    std::vector<unsigned char> row;
    for (pages = 0; cupsRasterReadHeader2(file.get(), &header); ++pages) {
        if (!PrintableLayout(header))
            return "page " + std::to_string(pages + 1) + " is not one or eight bits of grey a pixel";
        row.resize(header.cupsBytesPerLine);
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            if (cupsRasterReadPixels(file.get(), row.data(), header.cupsBytesPerLine) == 0)
                return "the document ends inside page " + std::to_string(pages + 1) + ", at row " +
                       std::to_string(y + 1) + " of " + std::to_string(header.cupsHeight);
        }
    }
    if (pages == 0)
        return "it holds no page";
    return "";
}

// Eight bits of grey to one bit a dot with the matrix that the driver set
// for the job's content: a set bit is a printed dot.
void DitherRow(const cups_page_header2_t& header, const pappl_pr_options_t& options, unsigned y,
               const unsigned char* pixels, std::vector<unsigned char>& dots)
{
    const unsigned char* dither = options.dither[y & 15];
    const bool black = header.cupsColorSpace == CUPS_CSPACE_K;
    dots.assign(options.header.cupsBytesPerLine, 0);
    for (unsigned x = 0; x < header.cupsWidth && x / 8 < dots.size(); ++x) {
        const bool inked = black ? pixels[x] > dither[x & 15] : pixels[x] <= dither[x & 15];
        if (inked)
            dots[x / 8] |= static_cast<unsigned char>(0x80 >> (x & 7));
    }
}

// One page's rows, as many as the page has (TakePageSize): the document's
// rows, dithered when they are grey.
void PrintRows(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, cups_raster_t* raster,
               const cups_page_header2_t& header, const pappl_pr_driver_data_t& driver)
{
    const bool dither = header.cupsBitsPerPixel == 8 && options->header.cupsBitsPerPixel == 1;
    std::vector<unsigned char> pixels(header.cupsBytesPerLine);
    std::vector<unsigned char> dots;
    for (unsigned y = 0; !papplJobIsCanceled(job) && y < header.cupsHeight; ++y) {
        cupsRasterReadPixels(raster, pixels.data(), header.cupsBytesPerLine);
        if (dither) {
            DitherRow(header, *options, y, pixels.data(), dots);
            driver.rwriteline_cb(job, options, device, y, dots.data());
        } else {
            driver.rwriteline_cb(job, options, device, y, pixels.data());
        }
    }
}

// The page as the client made it, whatever the job's medium: every row of
// it reaches the driver, and a grey row wider than the medium is dithered
// whole.
void TakePageSize(pappl_pr_options_t& options, const cups_page_header2_t& header)
{
    options.header.cupsWidth = header.cupsWidth;
    options.header.cupsHeight = header.cupsHeight;
    options.header.cupsBytesPerLine = (header.cupsWidth * options.header.cupsBitsPerPixel + 7) / 8;
}

bool PrintPages(pappl_job_t* job, pappl_device_t* device, unsigned pages)
{
    pappl_pr_driver_data_t driver;
    papplPrinterGetDriverData(papplJobGetPrinter(job), &driver);
    RasterFile file(papplJobGetFilename(job));
    cups_page_header2_t header;
    if (file.get() == nullptr || !cupsRasterReadHeader2(file.get(), &header))
        return false;

    papplJobSetImpressions(job, static_cast<int>(pages));
    pappl_pr_options_t* options = papplJobCreatePrintOptions(job, pages, false);
    if (!driver.rstartjob_cb(job, options, device)) {
        papplJobDeletePrintOptions(options);
        return false;
    }
    bool printed = true;
    for (unsigned page = 1; printed && !papplJobIsCanceled(job); ++page) {
        papplJobDeletePrintOptions(options);
        options = papplJobCreatePrintOptions(job, pages, false);
        TakePageSize(*options, header);
        papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Page %u raster data is %ux%ux%u", page, header.cupsWidth,
                    header.cupsHeight, header.cupsBitsPerPixel);
        papplJobSetImpressionsCompleted(job, 1);
        printed = driver.rstartpage_cb(job, options, device, page);
        if (printed) {
            PrintRows(job, options, device, file.get(), header, driver);
            printed = driver.rendpage_cb(job, options, device, page);
        }
        if (!cupsRasterReadHeader2(file.get(), &header))
            break;
    }
    printed = driver.rendjob_cb(job, options, device) && printed;
    papplJobDeletePrintOptions(options);
    return printed;
}

bool PrintRaster(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    unsigned pages = 0;
    const std::string error = CheckDocument(papplJobGetFilename(job), pages);
    if (!error.empty()) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: the raster document cannot be read: %s", error.c_str());
        papplJobSetMessage(job, "Not printed: the raster document cannot be read: %s", error.c_str());
        papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
        return false;
    }
    return PrintPages(job, device, pages);
}

}  // namespace

void AddRasterFilters(pappl_system_t* system)
{
    papplSystemAddMIMEFilter(system, "image/pwg-raster", PRINTER_FORMAT, PrintRaster, nullptr);
    papplSystemAddMIMEFilter(system, "image/urf", PRINTER_FORMAT, PrintRaster, nullptr);
}

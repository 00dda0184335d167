#include "png_filter.h"

#include <cstdio>

#include "drivers.h"
#include "png_document.h"

namespace {

// PAPPL's own limits for a job's image.
ImageLimits LimitsOf(pappl_job_t* job)
{
    int maxWidth = 0, maxHeight = 0;
    const size_t maxBytes =
        papplSystemGetMaxImageSize(papplPrinterGetSystem(papplJobGetPrinter(job)), &maxWidth, &maxHeight);
    return {static_cast<unsigned>(maxWidth), static_cast<unsigned>(maxHeight), maxBytes};
}

PngDocument ReadJobFile(pappl_job_t* job)
{
    PngDocument document;
    FILE* file = fopen(papplJobGetFilename(job), "rb");
    if (file == nullptr) {
        document.error = "the job's file cannot be opened";
        return document;
    }
    document = ReadPngDocument(file, LimitsOf(job));
    fclose(file);
    return document;
}

bool Abort(pappl_job_t* job, const std::string& reason)
{
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: the PNG image cannot be read: %s", reason.c_str());
    papplJobSetMessage(job, "Not printed: the PNG image cannot be read: %s", reason.c_str());
    papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
    return false;
}

bool PrintPng(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    const PngDocument document = ReadJobFile(job);
    for (const std::string& warning : document.warnings)
        papplLogJob(job, PAPPL_LOGLEVEL_WARN, "PNG: %s", warning.c_str());
    if (!document.image)
        return Abort(job, document.error);

    const GreyImage& image = *document.image;
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "PNG image of %ux%u pixels, %d ppi", image.width, image.height, image.ppi);
    pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 1, false);
    const bool printed = papplJobFilterImage(job, device, options, image.pixels.data(), static_cast<int>(image.width),
                                             static_cast<int>(image.height), 1, image.ppi, true);
    papplJobDeletePrintOptions(options);
    return printed;
}

}  // namespace

// A filter to the printer's own format is looked up first; one to
// image/pwg-raster would leave PAPPL's own PNG filter in charge.
void AddPngFilter(pappl_system_t* system)
{
    papplSystemAddMIMEFilter(system, "image/png", PRINTER_FORMAT, PrintPng, nullptr);
}

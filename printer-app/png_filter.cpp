#include "png_filter.h"

#include "drivers.h"
#include "image_job.h"
#include "jpeg_document.h"
#include "png_document.h"

namespace {

bool PrintPng(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    return PrintImageFile(job, device, "PNG", ReadPngDocument);
}

bool PrintJpeg(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    return PrintImageFile(job, device, "JPEG", ReadJpegDocument);
}

}  // namespace

// A filter to the printer's own format is looked up first; one to
// image/pwg-raster would leave PAPPL's own image filters in charge.
void AddImageFilters(pappl_system_t* system)
{
    papplSystemAddMIMEFilter(system, "image/png", PRINTER_FORMAT, PrintPng, nullptr);
    papplSystemAddMIMEFilter(system, "image/jpeg", PRINTER_FORMAT, PrintJpeg, nullptr);
}

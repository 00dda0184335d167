// PNG and JPEG documents printed by the application itself, not by PAPPL's
// image filters: the file is read whole before any byte reaches the
// printer (a damaged one aborts its job with the reason), the image is
// scaled to the printable width and no further, the receipt is as long as
// the image, and its greys are dithered as the job asks. Each copy is
// followed by its cut.
#ifndef KORLA_IMAGE_JOB_H
#define KORLA_IMAGE_JOB_H

#include <pappl/pappl.h>

#include "image_document.h"

// Reads the job's file with the reader and prints it; false when the job
// is to be aborted. kind names the format in messages ("PNG").
bool PrintImageFile(pappl_job_t* job, pappl_device_t* device, const char* kind, ImageReader reader);

#endif

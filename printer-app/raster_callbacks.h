// The driver's print callbacks: raster documents (PWG, Apple) that PAPPL
// streams as rows, through the receipt engine; printer-ready ESC/POS files
// passed through. PNG and JPEG documents are the application's own
// (image_job.h).
#ifndef KORLA_RASTER_CALLBACKS_H
#define KORLA_RASTER_CALLBACKS_H

#include <pappl/pappl.h>

void SetReceiptCallbacks(pappl_pr_driver_data_t* data);

#endif

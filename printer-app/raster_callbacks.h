// The driver's print callbacks: the images (JPEG, PNG) that PAPPL renders
// into rows, through the receipt engine; printer-ready ESC/POS files passed
// through.
#ifndef KORLA_RASTER_CALLBACKS_H
#define KORLA_RASTER_CALLBACKS_H

#include <pappl/pappl.h>

void SetReceiptCallbacks(pappl_pr_driver_data_t* data);

#endif

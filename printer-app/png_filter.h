// PNG and JPEG documents are read by the application itself (image_job.h):
// PAPPL 1.3.1's own PNG filter never returns from a damaged file, its JPEG
// filter prints a file cut short as far as it goes, and both fit every
// image to the default medium's length with greys as black or white.
#ifndef KORLA_PNG_FILTER_H
#define KORLA_PNG_FILTER_H

#include <pappl/pappl.h>

// Before the system runs.
void AddImageFilters(pappl_system_t* system);

#endif

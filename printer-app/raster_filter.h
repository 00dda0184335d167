// PWG and Apple raster documents, spooled like every other format and read
// from the job's file. The whole file is read once before printing, so that
// a document that is cut short or damaged aborts its job with the reason
// before any byte reaches the printer; then its pages go to the receipt
// callbacks row by row.
#ifndef KORLA_RASTER_FILTER_H
#define KORLA_RASTER_FILTER_H

#include <pappl/pappl.h>

// Before the system runs.
void AddRasterFilters(pappl_system_t* system);

#endif

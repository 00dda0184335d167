// PNG documents are read by the application itself: PAPPL 1.3.1's own PNG
// filter never returns from a damaged file, and the printer would stay busy
// with that job for good. A file that cannot be read whole aborts its job
// before any byte reaches the printer; a sound one prints as PAPPL prints
// images.
#ifndef KORLA_PNG_FILTER_H
#define KORLA_PNG_FILTER_H

#include <pappl/pappl.h>

// Before the system runs.
void AddPngFilter(pappl_system_t* system);

#endif

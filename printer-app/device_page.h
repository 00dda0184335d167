// The printer's "Device" page: how the printer is reached (its device URI
// and, in words, its link and a serial line's settings), with the address
// of a network printer or the settings of a serial line to change.
#ifndef KORLA_DEVICE_PAGE_H
#define KORLA_DEVICE_PAGE_H

#include <pappl/pappl.h>

void AddDevicePage(pappl_printer_t* printer);

#endif

// A printer's device changed. PAPPL 1.3.1 gives a printer its device URI
// only when it creates the printer, so the printer is made again: the same
// name, number and driver, its receipt settings, printing defaults, paper,
// location and organisation kept. Its list of finished jobs starts afresh.
#ifndef KORLA_PRINTER_DEVICE_H
#define KORLA_PRINTER_DEVICE_H

#include <pappl/pappl.h>

#include <string>

// The printer as made again; null, with error, when it was not (the printer
// is then as it was). Refused while the printer has jobs to do.
pappl_printer_t* ChangePrinterDevice(pappl_printer_t* printer, const std::string& deviceUri, std::string& error);

#endif

// The printers the add-printer page offers: serial ports where a printer
// answers the installer's status probe (serial_probe.h), and USB printers
// of this maker.
// Serial ports where none answers are offered after them, since a printer
// may be there at another speed or switched off.
#ifndef KORLA_FOUND_PRINTERS_H
#define KORLA_FOUND_PRINTERS_H

#include <pappl/pappl.h>

#include <string>
#include <vector>

struct FoundDevice {
    std::string info;  // what the page shows
    std::string uri;   // its device URI, a serial port's with the default line settings
    bool answered = false;
};

// Probes the serial ports side by side (a silent one takes four seconds);
// ports that a printer of the system uses are neither probed nor offered,
// so that no job of theirs meets the probe's line settings.
std::vector<FoundDevice> FindPrinters(pappl_system_t* system);

#endif

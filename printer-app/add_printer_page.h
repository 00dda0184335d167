// The web page that adds a printer, in place of PAPPL's own: that one looks
// for network printers through DNS-SD and brings the whole application
// down when no avahi daemon runs, and it has no place for a serial line's
// settings. This one offers the printers found (see found_printers.h),
// with a serial line's settings, and a network printer by its address.
#ifndef KORLA_ADD_PRINTER_PAGE_H
#define KORLA_ADD_PRINTER_PAGE_H

#include <pappl/pappl.h>

#include <string>

// Registers the page at /addprinter, where the web interface links to it.
// Before the system runs.
void AddPrinterPage(pappl_system_t* system);

// The socket:// URI of a network printer given as "HOST" or "HOST:PORT"
// (an IPv6 address in brackets), the printer's port 6001 when left out; ""
// with error when the address cannot be one.
std::string NetworkDeviceUri(const std::string& address, std::string& error);

#endif

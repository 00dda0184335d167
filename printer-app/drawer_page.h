// The printer's "Open Drawer" page: a button for each cash drawer, which
// queues a job that pulses that drawer with the printer's pulse time and
// prints nothing. Linked beside PAPPL's "Print Test Page".
#ifndef KORLA_DRAWER_PAGE_H
#define KORLA_DRAWER_PAGE_H

#include <pappl/pappl.h>

#include <string>

void AddDrawerPage(pappl_printer_t* printer);

// Queues the job that opens drawer 1 or 2; false, with error, when it
// cannot.
bool QueueOpenDrawer(pappl_printer_t* printer, int drawer, std::string& error);

#endif

// The printer's "Logos" page: up to four PNG or JPEG images, each made one
// bit per dot by a threshold or by error diffusion, shown as they will
// print, then stored in the printer as logos 1 to 4 by a job of its queue.
// FS q replaces every logo stored before: the page says so before the
// images are sent, and it stores the set the printer got last time only
// when asked again.
#ifndef KORLA_LOGOS_PAGE_H
#define KORLA_LOGOS_PAGE_H

#include <pappl/pappl.h>

void AddLogosPage(pappl_printer_t* printer);

#endif

// The printer's "Receipt" web page: the bytes sent at the start and at the
// end of every job, in the notation of the PPD's custom values ("None" or
// "Custom.\x1b\x61\x1"), checked before they are stored.
#ifndef KORLA_RECEIPT_PAGE_H
#define KORLA_RECEIPT_PAGE_H

#include <pappl/pappl.h>

// Adds the page, and its link in the printer's navigation, to a new or
// restored printer (pappl_pr_create_cb_t).
void AddReceiptPage(pappl_printer_t* printer, void* data);

#endif

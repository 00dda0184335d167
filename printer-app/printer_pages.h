// The application's own pages of a printer, beside PAPPL's: Receipt (the
// custom bytes), Device (the link and its settings), Logos (images stored
// in the printer) and Drawer (a drawer opened at a click). Each lives at
// /PRINTER/PAGE and is linked from the printer's navigation.
#ifndef KORLA_PRINTER_PAGES_H
#define KORLA_PRINTER_PAGES_H

#include <pappl/pappl.h>

#include <string>

// Adds every page to a new or restored printer (pappl_pr_create_cb_t).
void AddPrinterPages(pappl_printer_t* printer, void* data);

// Registers one page's resource and its link; options say where the link
// shows (PAPPL_LOPTIONS_...).
void AddPrinterPage(pappl_printer_t* printer, const char* page, const char* title, pappl_resource_cb_t serve,
                    pappl_loptions_t options);

// The printer whose page the request is for; null when none is.
pappl_printer_t* PrinterOfPage(pappl_client_t* client, const char* page);

// The page's start: the printer's header with a banner when message is
// not empty. The message is escaped.
void StartPrinterPage(pappl_client_t* client, pappl_printer_t* printer, const char* title, const std::string& message);

#endif

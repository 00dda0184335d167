#include "printer_pages.h"

#include <cstring>
#include <string>

#include "device_page.h"
#include "drawer_page.h"
#include "logos_page.h"
#include "receipt_page.h"

void AddPrinterPages(pappl_printer_t* printer, void* data)
{
    AddReceiptPage(printer, data);
    AddDevicePage(printer);
    AddLogosPage(printer);
    AddDrawerPage(printer);
}

void AddPrinterPage(pappl_printer_t* printer, const char* page, const char* title, pappl_resource_cb_t serve,
                    pappl_loptions_t options)
{
    char path[256];
    papplPrinterGetPath(printer, page, path, sizeof(path));
    papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html", serve, nullptr);
    papplPrinterAddLink(printer, title, path, options);
}

pappl_printer_t* PrinterOfPage(pappl_client_t* client, const char* page)
{
    struct Search {
        const char* uri;
        const char* page;
        pappl_printer_t* printer;
    } search{papplClientGetURI(client), page, nullptr};
    papplSystemIteratePrinters(
        papplClientGetSystem(client),
        [](pappl_printer_t* printer, void* data) {
            auto* search = static_cast<Search*>(data);
            char path[256];
            if (strcmp(papplPrinterGetPath(printer, search->page, path, sizeof(path)), search->uri) == 0)
                search->printer = printer;
        },
        &search);
    return search.printer;
}

void StartPrinterPage(pappl_client_t* client, pappl_printer_t* printer, const char* title, const std::string& message)
{
    papplClientHTMLPrinterHeader(client, printer, title, 0, nullptr, nullptr);
    if (!message.empty()) {
        papplClientHTMLPuts(client, "<div class=\"banner\">");
        papplClientHTMLEscape(client, message.c_str(), 0);
        papplClientHTMLPuts(client, "</div>\n");
    }
}

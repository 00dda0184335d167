#include "drawer_page.h"

#include "action_jobs.h"
#include "printer_pages.h"

namespace {

constexpr char PAGE[] = "drawer";
constexpr char TITLE[] = "Open Drawer";

std::string Open(pappl_client_t* client, pappl_printer_t* printer)
{
    cups_option_t* form = nullptr;
    const int count = papplClientGetForm(client, &form);
    const bool valid = papplClientIsValidForm(client, count, form);
    const char* chosen = cupsGetOption("drawer", count, form);
    const std::string drawer = chosen ? chosen : "";
    cupsFreeOptions(count, form);
    if (!valid)
        return "Invalid form submission.";
    if (drawer != "1" && drawer != "2")
        return "There is no drawer " + drawer + ".";
    std::string error;
    if (!QueueOpenDrawer(printer, drawer == "1" ? 1 : 2, error))
        return "Drawer " + drawer + " cannot be opened: " + error + ".";
    return "Drawer " + drawer + " opens as soon as the printer has finished the jobs before.";
}

bool ServeDrawerPage(pappl_client_t* client, void* /*data*/)
{
    pappl_printer_t* printer = PrinterOfPage(client, PAGE);
    if (printer == nullptr)
        return papplClientRespond(client, HTTP_STATUS_NOT_FOUND, nullptr, nullptr, 0, 0);
    if (!papplClientHTMLAuthorize(client))
        return true;
    const std::string message = papplClientGetMethod(client) == HTTP_STATE_POST ? Open(client, printer) : "";
    StartPrinterPage(client, printer, TITLE, message);
    papplClientHTMLPuts(client, "<p>The drawer opens with the pulse time of its setting; nothing is printed.</p>\n");
    for (const char* drawer : {"1", "2"}) {
        papplClientHTMLStartForm(client, papplClientGetURI(client), false);
        papplClientHTMLPrintf(client,
                              "<input type=\"hidden\" name=\"drawer\" value=\"%s\">"
                              "<input type=\"submit\" value=\"Open Drawer %s\"></form>\n",
                              drawer, drawer);
    }
    papplClientHTMLPrinterFooter(client);
    return true;
}

}  // namespace

void AddDrawerPage(pappl_printer_t* printer)
{
    AddPrinterPage(printer, PAGE, TITLE, ServeDrawerPage,
                   static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
}

bool QueueOpenDrawer(pappl_printer_t* printer, int drawer, std::string& error)
{
    const std::string number = std::to_string(drawer);
    return SubmitActionJob(printer, OPEN_DRAWER_FORMAT, drawer == 1 ? "Open drawer 1" : "Open drawer 2",
                           {number.begin(), number.end()}, error) != nullptr;
}

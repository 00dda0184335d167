#include "device_page.h"

#include "add_printer_page.h"
#include "form_fields.h"
#include "network_link.h"
#include "printer_device.h"
#include "printer_pages.h"
#include "test_receipt_facts.h"

namespace {

constexpr char PAGE[] = "device";
constexpr char TITLE[] = "Device";
// The device URI the posted form asks for; "" with error when it asks for
// none.
std::string PostedUri(const std::string& current, int count, cups_option_t* form, std::string& error)
{
    if (IsSocketUri(current))
        return NetworkDeviceUri(Field("hostname", count, form), error);
    std::string parseError;
    if (const std::optional<SerialLine> line = ParseSerialUri(current, parseError))
        return SerialUriWith(line->port, LineFieldsFrom(count, form), error);
    error = "this printer's device has nothing to change";
    return "";
}

// Changes the device when the form asks for another; returns the message,
// and the printer as it is now.
std::string Change(pappl_client_t* client, pappl_printer_t*& printer)
{
    cups_option_t* form = nullptr;
    const int count = papplClientGetForm(client, &form);
    std::string error;
    const std::string current = papplPrinterGetDeviceURI(printer);
    const std::string uri = papplClientIsValidForm(client, count, form) ? PostedUri(current, count, form, error) : "";
    cupsFreeOptions(count, form);
    if (uri.empty())
        return "Not changed: " + (error.empty() ? std::string("invalid form submission") : error) + ".";
    if (uri == current)
        return "The device is as it was.";
    pappl_printer_t* changed = ChangePrinterDevice(printer, uri, error);
    if (changed == nullptr)
        return "Not changed: " + error + ".";
    printer = changed;
    return "The printer is now reached at " + uri + ".";
}

void ShowDevice(pappl_client_t* client, const std::string& uri)
{
    const LinkWords words = DescribeLink(uri);
    papplClientHTMLPuts(client, "<table class=\"form\">\n<tbody>\n");
    ShowRow(client, "Device URI");
    papplClientHTMLPrintf(client, "<code>%s</code></td></tr>\n", uri.c_str());
    ShowRow(client, "Link");
    papplClientHTMLPrintf(client, "%s</td></tr>\n", words.link.c_str());
    if (!words.line.empty()) {
        ShowRow(client, "Line");
        papplClientHTMLPrintf(client, "%s</td></tr>\n", words.line.c_str());
    }
    papplClientHTMLPuts(client, "</tbody>\n</table>\n");
}

void ShowChangeForm(pappl_client_t* client, const std::string& uri)
{
    std::string error;
    const std::optional<SerialLine> line = ParseSerialUri(uri, error);
    if (!line && !IsSocketUri(uri))
        return;
    papplClientHTMLPuts(client, "<h2 class=\"title\">Change</h2>\n");
    papplClientHTMLStartForm(client, papplClientGetURI(client), false);
    papplClientHTMLPuts(client, "<table class=\"form\">\n<tbody>\n");
    if (line) {
        ShowLineRows(client, LineFieldsOf(*line));
    } else {
        ShowRow(client, "Network Address");
        papplClientHTMLPrintf(client, "<input type=\"text\" name=\"hostname\" value=\"%s\"> port %d unless given</td></tr>\n",
                              uri.substr(sizeof SOCKET_PREFIX - 1).c_str(), PRINTER_NETWORK_PORT);
    }
    papplClientHTMLPuts(client, "<tr><th></th><td><input type=\"submit\" value=\"Change Device\"> The printer is "
                                "made again with its settings; its list of finished jobs starts afresh.</td></tr>\n"
                                "</tbody>\n</table>\n</form>\n");
}

bool ServeDevicePage(pappl_client_t* client, void* /*data*/)
{
    pappl_printer_t* printer = PrinterOfPage(client, PAGE);
    if (printer == nullptr)
        return papplClientRespond(client, HTTP_STATUS_NOT_FOUND, nullptr, nullptr, 0, 0);
    if (!papplClientHTMLAuthorize(client))
        return true;
    const std::string message = papplClientGetMethod(client) == HTTP_STATE_POST ? Change(client, printer) : "";
    StartPrinterPage(client, printer, TITLE, message);
    const std::string uri = papplPrinterGetDeviceURI(printer);
    ShowDevice(client, uri);
    ShowChangeForm(client, uri);
    papplClientHTMLPrinterFooter(client);
    return true;
}

}  // namespace

void AddDevicePage(pappl_printer_t* printer)
{
    AddPrinterPage(printer, PAGE, TITLE, ServeDevicePage,
                   static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_PRINTER));
}

#include "receipt_page.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "printer_pages.h"
#include "printer_settings.h"
#include "custom_bytes.h"
#include "receipt_attributes.h"

namespace {

constexpr char PAGE[] = "receipt";
constexpr char TITLE[] = "Receipt";

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

// The settings this page offers: those that take custom bytes, free text
// that PAPPL's printing defaults page leaves out.
std::vector<const ReceiptAttribute*> PageSettings()
{
    std::vector<const ReceiptAttribute*> settings;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        if (TakesCustomBytes(attribute))
            settings.push_back(&attribute);
    }
    return settings;
}

using Values = std::map<std::string, std::string>;

Values StoredDefaults(pappl_printer_t* printer)
{
    const std::unique_ptr<ipp_t, IppDeleter> attributes(papplPrinterGetDriverAttributes(printer));
    Values values;
    for (const ReceiptAttribute* setting : PageSettings()) {
        const std::string name = std::string(setting->ippName) + "-default";
        const std::string value = ValueOf(ippFindAttribute(attributes.get(), name.c_str(), IPP_TAG_ZERO));
        values[setting->ippName] = value.empty() ? ApplicationDefault(*setting) : value;
    }
    return values;
}

// Takes the posted values into `values`. Returns what is wrong with the
// first one not in the notation; "" when all are.
std::string TakePostedValues(int numForm, cups_option_t* form, Values& values)
{
    std::string error;
    for (const ReceiptAttribute* setting : PageSettings()) {
        const char* value = cupsGetOption(setting->ippName, numForm, form);
        if (value == nullptr)
            continue;
        values[setting->ippName] = value;
        if (error.empty() && !IsValidChoice(*setting, value))
            error = std::string(setting->label) + ": \"" + value +
                    "\" is neither None nor Custom. followed by bytes written \\xHH. Nothing was saved.";
    }
    return error;
}

bool Store(pappl_printer_t* printer, const Values& values)
{
    std::vector<cups_option_t> vendor;
    for (const auto& [name, value] : values)
        vendor.push_back({const_cast<char*>(name.c_str()), const_cast<char*>(value.c_str())});
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    return papplPrinterSetDriverDefaults(printer, &data, static_cast<int>(vendor.size()), vendor.data());
}

// Stores the posted values when the form is genuine and every value valid;
// returns the message for the page's banner.
std::string Save(pappl_client_t* client, pappl_printer_t* printer, Values& values)
{
    cups_option_t* form = nullptr;
    const int numForm = papplClientGetForm(client, &form);
    const std::string error = papplClientIsValidForm(client, numForm, form)
                                  ? TakePostedValues(numForm, form, values)
                                  : "Invalid form submission.";
    cupsFreeOptions(numForm, form);
    if (!error.empty())
        return error;
    if (!Store(printer, values))
        return "The settings could not be saved.";
    return papplSystemSaveChanges(papplPrinterGetSystem(printer))
               ? "Changes saved."
               : "The settings are in effect but could not be saved; they hold only until the server stops.";
}

void ShowPage(pappl_client_t* client, pappl_printer_t* printer, const Values& values, const std::string& message)
{
    StartPrinterPage(client, printer, TITLE, message);
    papplClientHTMLStartForm(client, papplClientGetURI(client), false);
    papplClientHTMLPuts(client, "<table class=\"form\">\n<tbody>\n");
    for (const ReceiptAttribute* setting : PageSettings()) {
        papplClientHTMLPrintf(client,
                              "<tr><th><label for=\"%s\">%s:</label></th><td><input type=\"text\" id=\"%s\" "
                              "name=\"%s\" maxlength=\"%d\" size=\"60\" value=\"",
                              setting->ippName, setting->label, setting->ippName, setting->ippName,
                              static_cast<int>(strlen(CUSTOM_PREFIX) + setting->maxCustomText));
        papplClientHTMLEscape(client, values.at(setting->ippName).c_str(), 0);
        papplClientHTMLPuts(client, "\"></td></tr>\n");
    }
    papplClientHTMLPuts(client,
                        "<tr><th></th><td>None, or Custom. followed by the bytes written \\xHH, for example "
                        "Custom.\\x1b\\x61\\x1.</td></tr>\n"
                        "<tr><th></th><td><input type=\"submit\" value=\"Save Changes\"></td></tr>\n"
                        "</tbody>\n</table>\n</form>\n");
    papplClientHTMLPrinterFooter(client);
}

bool ServeReceiptPage(pappl_client_t* client, void* /*data*/)
{
    pappl_printer_t* printer = PrinterOfPage(client, PAGE);
    if (printer == nullptr)
        return papplClientRespond(client, HTTP_STATUS_NOT_FOUND, nullptr, nullptr, 0, 0);
    if (!papplClientHTMLAuthorize(client))
        return true;
    Values values = StoredDefaults(printer);
    std::string message;
    if (papplClientGetMethod(client) == HTTP_STATE_POST)
        message = Save(client, printer, values);
    ShowPage(client, printer, values, message);
    return true;
}

}  // namespace

void AddReceiptPage(pappl_printer_t* printer, void* /*data*/)
{
    AddPrinterPage(printer, PAGE, TITLE, ServeReceiptPage,
                   static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_PRINTER));
}

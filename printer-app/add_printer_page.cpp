#include "add_printer_page.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "device_rules.h"
#include "drivers.h"
#include "form_fields.h"
#include "found_printers.h"
#include "network_address.h"
#include "network_link.h"
#include "serial_line.h"

namespace {

constexpr char PAGE_PATH[] = "/addprinter";
constexpr char NETWORK_CHOICE[] = "network";  // the device choice of a printer given by its address
constexpr size_t MAX_NAME_LENGTH = 127;

// A printer the machine has: a serial port or a USB printer.
struct LocalDevice {
    std::string info;
    std::string uri;
};

// What the form holds, as first shown or as posted.
struct AddPrinterForm {
    std::string name;
    std::string driver;
    std::string device;
    std::string address;
    LineFields line;
};

bool CollectDevice(const char* info, const char* uri, const char* /*id*/, void* data)
{
    static_cast<std::vector<LocalDevice>*>(data)->push_back({info, uri});
    return false;
}

// The devices a posted choice may name. Network printers are given by
// their address: DNS-SD needs a daemon that a till may not run, and SNMP
// discovery takes seconds.
std::vector<LocalDevice> LocalDevices()
{
    std::vector<LocalDevice> devices;
    papplDeviceList(PAPPL_DEVTYPE_USB | PAPPL_DEVTYPE_CUSTOM_LOCAL, CollectDevice, &devices, nullptr, nullptr);
    return devices;
}

// "HOST" or "HOST:PORT", an IPv6 address in brackets: "[fd00::20]:6001".
std::pair<std::string, std::optional<std::string>> SplitAddress(const std::string& address)
{
    const size_t colon = address.rfind(':');
    const bool bracketed = !address.empty() && address.front() == '[';
    const size_t bracket = address.rfind(']');
    const bool portGiven = colon != std::string::npos && (bracketed ? bracket != std::string::npos && colon > bracket
                                                                    : address.find(':') == colon);
    if (!portGiven)
        return {address, std::nullopt};
    return {address.substr(0, colon), address.substr(colon + 1)};
}

AddPrinterForm FormFrom(int count, cups_option_t* fields)
{
    AddPrinterForm form;
    form.name = Field("printer_name", count, fields);
    form.driver = Field("driver_name", count, fields);
    form.device = Field("device_uri", count, fields);
    form.address = Field("hostname", count, fields);
    form.line = LineFieldsFrom(count, fields);
    return form;
}

bool IsReceiptDriver(const std::string& name)
{
    int count = 0;
    const pappl_pr_driver_t* drivers = ReceiptDrivers(count);
    for (int i = 0; i < count; ++i) {
        if (name == drivers[i].name)
            return true;
    }
    return false;
}

// The device URI the form chooses: a typed address, whatever the list
// says (left at its first entry, it would otherwise make another printer
// than the one typed), else one of the devices listed; "" with error when
// it chooses none.
std::string DeviceUriOf(const AddPrinterForm& form, std::string& error)
{
    if (!form.address.empty() || form.device == NETWORK_CHOICE)
        return NetworkDeviceUri(form.address, error);
    for (const LocalDevice& device : LocalDevices()) {
        if (device.uri != form.device)
            continue;
        std::string parseError;
        const std::optional<SerialLine> line = ParseSerialUri(device.uri, parseError);
        return line ? SerialUriWith(line->port, form.line, error) : device.uri;
    }
    error = "the device is no longer there";
    return "";
}

pappl_printer_t* AddPrinter(pappl_system_t* system, const AddPrinterForm& form, std::string& error)
{
    if (form.name.empty() || form.name.size() > MAX_NAME_LENGTH) {
        error = "a printer needs a name of 1 to 127 characters";
        return nullptr;
    }
    if (!IsReceiptDriver(form.driver)) {
        error = "unknown driver";
        return nullptr;
    }
    const std::string deviceUri = DeviceUriOf(form, error);
    if (deviceUri.empty() || !IsAcceptedDevice(deviceUri, error))
        return nullptr;
    pappl_printer_t* printer =
        papplPrinterCreate(system, 0, form.name.c_str(), form.driver.c_str(), "", deviceUri.c_str());
    if (printer == nullptr)
        error = errno == EEXIST ? "a printer of that name exists already" : strerror(errno);
    return printer;
}

void ShowDeviceRows(pappl_client_t* client, const AddPrinterForm& form)
{
    Choices devices;
    for (const FoundDevice& device : FindPrinters(papplClientGetSystem(client)))
        devices.emplace_back(device.uri, device.info);
    devices.emplace_back(NETWORK_CHOICE, "Network printer, at the address below");
    ShowRow(client, "Device");
    ShowSelect(client, "device_uri", devices, form.device);
    papplClientHTMLPuts(client, "</td></tr>\n");
    ShowRow(client, "Network Address");
    papplClientHTMLPrintf(client,
                          "<input type=\"text\" name=\"hostname\" value=\"%s\" placeholder=\"192.168.1.20\">"
                          " port %d unless given; an address typed here is the printer added</td></tr>\n",
                          form.address.c_str(), PRINTER_NETWORK_PORT);
    ShowLineRows(client, form.line);
}

void ShowForm(pappl_client_t* client, const AddPrinterForm& form, const std::string& error)
{
    papplClientRespond(client, HTTP_STATUS_OK, nullptr, "text/html", 0, 0);
    papplClientHTMLHeader(client, "Add Printer", 0);
    papplClientHTMLPuts(client, "    <div class=\"content\">\n      <div class=\"row\">\n        <div class=\"col-12\">\n"
                                "          <h1 class=\"title\">Add Printer</h1>\n");
    if (!error.empty())
        papplClientHTMLPrintf(client, "          <div class=\"banner\">Not added: %s.</div>\n", error.c_str());
    papplClientHTMLStartForm(client, PAGE_PATH, false);
    papplClientHTMLPuts(client, "          <table class=\"form\">\n            <tbody>\n");
    ShowRow(client, "Name");
    papplClientHTMLPrintf(client, "<input type=\"text\" name=\"printer_name\" value=\"%s\" required></td></tr>\n",
                          form.name.c_str());
    Choices drivers;
    int count = 0;
    const pappl_pr_driver_t* list = ReceiptDrivers(count);
    for (int i = 0; i < count; ++i)
        drivers.emplace_back(list[i].name, list[i].description);
    ShowRow(client, "Driver");
    ShowSelect(client, "driver_name", drivers, form.driver);
    papplClientHTMLPuts(client, "</td></tr>\n");
    ShowDeviceRows(client, form);
    papplClientHTMLPuts(client, "              <tr><th></th><td><input type=\"submit\" value=\"Add Printer\"></td></tr>\n"
                                "            </tbody>\n          </table>\n        </form>\n"
                                "        </div>\n      </div>\n    </div>\n");
    papplClientHTMLFooter(client);
}

bool AddPrinterResource(pappl_client_t* client, void* /*data*/)
{
    if (!papplClientHTMLAuthorize(client))
        return true;
    AddPrinterForm form;
    std::string error;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        cups_option_t* fields = nullptr;
        const int count = papplClientGetForm(client, &fields);
        form = FormFrom(count, fields);
        const bool valid = papplClientIsValidForm(client, count, fields);
        cupsFreeOptions(count, fields);
        if (!valid) {
            error = "the form has expired, please try again";
        } else if (pappl_printer_t* printer = AddPrinter(papplClientGetSystem(client), form, error)) {
            char path[256];
            papplClientRespondRedirect(client, HTTP_STATUS_FOUND, papplPrinterGetPath(printer, nullptr, path, sizeof(path)));
            return true;
        }
    }
    ShowForm(client, form, error);
    return true;
}

}  // namespace

void AddPrinterPage(pappl_system_t* system)
{
    papplSystemAddResourceCallback(system, PAGE_PATH, "text/html", AddPrinterResource, nullptr);
}

std::string NetworkDeviceUri(const std::string& address, std::string& error)
{
    const auto [host, portText] = SplitAddress(address);
    if (!IsPrinterAddress(host.c_str())) {
        error = "\"" + address + "\" is not a host name or address";
        return "";
    }
    const std::string given = portText.value_or(std::to_string(PRINTER_NETWORK_PORT));
    const bool isNumber = !given.empty() && given.size() <= 5 && given.find_first_not_of("0123456789") == std::string::npos;
    const int port = isNumber ? atoi(given.c_str()) : 0;
    if (!IsPrinterPort(port)) {
        error = "the port must be a number from 1 to 65535";
        return "";
    }
    return SocketUri(host, port);
}

#include "add_printer_page.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "drivers.h"
#include "network_address.h"
#include "serial_line.h"

namespace {

constexpr char PAGE_PATH[] = "/addprinter";
constexpr char NETWORK_CHOICE[] = "network";  // the device choice of a printer given by its address
constexpr int RAW_PRINTING_PORT = 9100;
constexpr size_t MAX_NAME_LENGTH = 127;

using Options = std::vector<std::pair<std::string, std::string>>;  // value, label

const Options PARITY_LABELS = {{PARITY_WORDS[0], "None"}, {PARITY_WORDS[1], "Even"}, {PARITY_WORDS[2], "Odd"}};
const Options FLOW_LABELS = {
    {FLOW_WORDS[0], "Hardware (RTS/CTS)"}, {FLOW_WORDS[1], "Software (XON/XOFF)"}, {FLOW_WORDS[2], "None"}};

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
    std::string baud = std::to_string(BAUD_RATES[0]);
    std::string bits = std::to_string(DATA_BITS[0]);
    std::string parity = PARITY_WORDS[0];
    std::string flow = FLOW_WORDS[0];
};

bool CollectDevice(const char* info, const char* uri, const char* /*id*/, void* data)
{
    static_cast<std::vector<LocalDevice>*>(data)->push_back({info, uri});
    return false;
}

// Network printers are given by their address: DNS-SD needs a daemon that
// a till may not run, and SNMP discovery takes seconds.
std::vector<LocalDevice> LocalDevices()
{
    std::vector<LocalDevice> devices;
    papplDeviceList(PAPPL_DEVTYPE_USB | PAPPL_DEVTYPE_CUSTOM_LOCAL, CollectDevice, &devices, nullptr, nullptr);
    return devices;
}

// "HOST" or "HOST:PORT", an IPv6 address in brackets: "[fd00::20]:9100".
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

std::string Field(const char* name, int count, cups_option_t* fields)
{
    const char* value = cupsGetOption(name, count, fields);
    return value ? value : "";
}

AddPrinterForm FormFrom(int count, cups_option_t* fields)
{
    AddPrinterForm form;
    form.name = Field("printer_name", count, fields);
    form.driver = Field("driver_name", count, fields);
    form.device = Field("device_uri", count, fields);
    form.address = Field("hostname", count, fields);
    form.baud = Field("baud", count, fields);
    form.bits = Field("bits", count, fields);
    form.parity = Field("parity", count, fields);
    form.flow = Field("flow", count, fields);
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

// The serial port's URI with the line settings of the form.
std::string SerialDeviceUri(const std::string& listedUri, const AddPrinterForm& form, std::string& error)
{
    std::optional<SerialLine> line = ParseSerialUri(listedUri, error);
    if (!line)
        return "";
    const std::string settings =
        "?baud=" + form.baud + "+bits=" + form.bits + "+parity=" + form.parity + "+flow=" + form.flow;
    line = ParseSerialUri(std::string(SERIAL_SCHEME) + ":" + line->port + settings, error);
    return line ? SerialUri(*line) : "";
}

// The device URI the form chooses: one of the devices listed, or a network
// printer's address; "" with error when it chooses none.
std::string DeviceUriOf(const AddPrinterForm& form, std::string& error)
{
    if (form.device == NETWORK_CHOICE)
        return NetworkDeviceUri(form.address, error);
    for (const LocalDevice& device : LocalDevices()) {
        if (device.uri == form.device)
            return IsSerialUri(device.uri) ? SerialDeviceUri(device.uri, form, error) : device.uri;
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
    if (deviceUri.empty())
        return nullptr;
    pappl_printer_t* printer =
        papplPrinterCreate(system, 0, form.name.c_str(), form.driver.c_str(), "", deviceUri.c_str());
    if (printer == nullptr)
        error = errno == EEXIST ? "a printer of that name exists already" : strerror(errno);
    return printer;
}

void ShowSelect(pappl_client_t* client, const char* name, const Options& options, const std::string& selected)
{
    papplClientHTMLPrintf(client, "<select name=\"%s\" id=\"%s\">", name, name);
    for (const auto& [value, label] : options)
        papplClientHTMLPrintf(client, "<option value=\"%s\"%s>%s</option>", value.c_str(),
                              value == selected ? " selected" : "", label.c_str());
    papplClientHTMLPuts(client, "</select>");
}

void ShowRow(pappl_client_t* client, const char* label)
{
    papplClientHTMLPrintf(client, "              <tr><th>%s:</th><td>", label);
}

template <size_t N>
Options NumberOptions(const int (&numbers)[N], const char* unit)
{
    Options options;
    for (int number : numbers)
        options.emplace_back(std::to_string(number), std::to_string(number) + unit);
    return options;
}

void ShowDeviceRows(pappl_client_t* client, const AddPrinterForm& form)
{
    Options devices;
    for (const LocalDevice& device : LocalDevices())
        devices.emplace_back(device.uri, device.info);
    devices.emplace_back(NETWORK_CHOICE, "Network printer, at the address below");
    ShowRow(client, "Device");
    ShowSelect(client, "device_uri", devices, form.device);
    papplClientHTMLPuts(client, "</td></tr>\n");
    ShowRow(client, "Network Address");
    papplClientHTMLPrintf(client,
                          "<input type=\"text\" name=\"hostname\" value=\"%s\" placeholder=\"192.168.1.20:9100\">"
                          " port 9100 unless given</td></tr>\n",
                          form.address.c_str());
    ShowRow(client, "Serial Speed");
    ShowSelect(client, "baud", NumberOptions(BAUD_RATES, " baud"), form.baud);
    papplClientHTMLPuts(client, "</td></tr>\n");
    ShowRow(client, "Data Bits");
    ShowSelect(client, "bits", NumberOptions(DATA_BITS, " bits"), form.bits);
    papplClientHTMLPuts(client, "</td></tr>\n");
    ShowRow(client, "Parity");
    ShowSelect(client, "parity", PARITY_LABELS, form.parity);
    papplClientHTMLPuts(client, "</td></tr>\n");
    ShowRow(client, "Flow Control");
    ShowSelect(client, "flow", FLOW_LABELS, form.flow);
    papplClientHTMLPuts(client, "</td></tr>\n");
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
    Options drivers;
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
    const std::string given = portText.value_or(std::to_string(RAW_PRINTING_PORT));
    const bool isNumber = !given.empty() && given.size() <= 5 && given.find_first_not_of("0123456789") == std::string::npos;
    const int port = isNumber ? atoi(given.c_str()) : 0;
    if (!IsPrinterPort(port)) {
        error = "the port must be a number from 1 to 65535";
        return "";
    }
    return "socket://" + host + ":" + std::to_string(port);
}

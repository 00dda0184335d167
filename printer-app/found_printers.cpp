#include "found_printers.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <mutex>
#include <set>

#include "drivers.h"
#include "serial_device.h"
#include "serial_line.h"
#include "serial_probe.h"

namespace {

constexpr char PRINTER_WORDS[] = "KORLA Tessa-300 on ";

// The serial ports the system's printers use.
std::set<std::string> PortsInUse(pappl_system_t* system)
{
    std::set<std::string> ports;
    papplSystemIteratePrinters(
        system,
        [](pappl_printer_t* printer, void* data) {
            std::string error;
            if (const std::optional<SerialLine> line = ParseSerialUri(papplPrinterGetDeviceURI(printer), error))
                static_cast<std::set<std::string>*>(data)->insert(line->port);
        },
        &ports);
    return ports;
}

std::vector<FoundDevice> FindSerialPrinters(pappl_system_t* system)
{
    const std::set<std::string> inUse = PortsInUse(system);
    std::vector<std::string> ports;
    for (const std::string& port : SerialPorts()) {
        if (inUse.count(port) == 0)
            ports.push_back(port);
    }
    std::vector<std::future<bool>> probes;
    for (const std::string& port : ports)
        probes.push_back(std::async(std::launch::async, [port] { return ProbeSerialPort(port) == ProbeResult::Answered; }));
    std::vector<FoundDevice> found;
    for (size_t i = 0; i < ports.size(); ++i) {
        SerialLine line;
        line.port = ports[i];
        const bool answered = probes[i].get();
        const std::string where = SerialPortLabel(ports[i]);
        found.push_back({answered ? PRINTER_WORDS + where : where + " (no printer answered)", SerialUri(line), answered});
    }
    return found;
}

bool CollectOurUsbPrinter(const char* info, const char* uri, const char* id, void* data)
{
    if (ReceiptAutoAddCallback(info, uri, id, nullptr) != nullptr)
        static_cast<std::vector<FoundDevice>*>(data)->push_back({std::string(PRINTER_WORDS) + "USB (" + info + ")", uri, true});
    return false;
}

}  // namespace

std::vector<FoundDevice> FindPrinters(pappl_system_t* system)
{
    // Two pages loaded at once would probe a port twice at the same time,
    // each saving the other's probe settings as the port's own.
    static std::mutex probing;
    std::unique_lock<std::mutex> lock(probing);
    std::vector<FoundDevice> found = FindSerialPrinters(system);
    lock.unlock();
    papplDeviceList(PAPPL_DEVTYPE_USB, CollectOurUsbPrinter, &found, nullptr, nullptr);
    std::stable_partition(found.begin(), found.end(), [](const FoundDevice& device) { return device.answered; });
    return found;
}

#include "device_rules.h"

#include <pappl/pappl.h>

#include <algorithm>
#include <vector>

#include "serial_device.h"
#include "serial_line.h"

void SetDeviceSchemes()
{
    papplDeviceRemoveScheme("file");
    AddSerialScheme(SerialPortRule::PortsOfTheFolder);
}

bool IsAcceptedDevice(const std::string& uri, std::string& error)
{
    if (!IsSerialUri(uri)) {
        if (!papplDeviceIsSupported(uri.c_str()))
            error = "\"" + uri + "\" is not a device this application can print to";
        return error.empty();
    }
    const std::optional<SerialLine> line = ParseSerialUri(uri, error);
    if (!line)
        return false;
    const std::vector<std::string> ports = SerialPorts();
    if (std::find(ports.begin(), ports.end(), line->port) == ports.end()) {
        error = line->port + " is not one of the serial ports present";
        return false;
    }
    return true;
}

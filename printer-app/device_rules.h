// The devices a printer may be given. A client that may add printers must
// not turn the server against its own files: PAPPL's file: devices are
// never taken, and serial: only for the serial ports that the add-printer
// page offers. Network and USB printers are PAPPL's.
#ifndef KORLA_DEVICE_RULES_H
#define KORLA_DEVICE_RULES_H

#include <string>

// Removes PAPPL's file: scheme and adds the application's serial: scheme.
// Once per process, before any device is listed or opened.
void SetDeviceSchemes();

// Whether a printer may be added with the device, or be moved to it;
// error says why not.
bool IsAcceptedDevice(const std::string& uri, std::string& error);

#endif

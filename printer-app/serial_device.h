// The application's own device scheme for printers on a serial port or a
// USB-to-serial adapter (PAPPL 1.3.1 has none): serial:PORT?SETTINGS, see
// serial_line.h. Ports are looked for in /dev, or in the folder that
// KORLA_PRINTER_APP_DEVDIR names (for tests).
#ifndef KORLA_SERIAL_DEVICE_H
#define KORLA_SERIAL_DEVICE_H

#include <pappl/pappl.h>

#include <string>
#include <vector>

inline constexpr char DEVICE_FOLDER_VARIABLE[] = "KORLA_PRINTER_APP_DEVDIR";

// Which files a serial: URI may name.
enum class SerialPortRule {
    AnyTerminal,  // any serial port or terminal, as the user who runs a tool names it
    PortsOfTheFolder,  // only ttyS, ttyUSB and ttyACM ports of the device folder: for the server,
                       // whose clients must not make it open other files
};

// Registers the scheme with PAPPL, alongside PAPPL's own (socket, usb, ...).
// Once per process, before any device is listed or opened.
void AddSerialScheme(SerialPortRule rule);

// The serial ports present, in name order: ttyS ports with a UART behind
// them, and every ttyUSB and ttyACM port.
std::vector<std::string> SerialPorts();

// "Serial port ttyS0", "USB-to-serial adapter ttyUSB0": the port's kind and name.
std::string SerialPortLabel(const std::string& port);

// For a serial device opened only to ask for the printer's status: drops
// what the port has not sent yet (the request, when the printer holds the
// line), so that closing it never waits on such a printer.
void DiscardUnsentOutput(pappl_device_t* device);

#endif

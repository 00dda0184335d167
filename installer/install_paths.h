// The fixed places the installer uses. Each can be moved by an environment
// variable, so that a private CUPS set-up can stand in for the machine's own;
// with none of them set, the paths are the standard ones.
#pragma once

#include <string>

// CUPS_SERVERBIN, as libcups and cupsd read it; default /usr/lib/cups.
std::string CupsServerBin();
// CUPS_DATADIR, as libcups and cupsd read it; default /usr/share/cups.
std::string CupsDataDir();
// PRINTER_INSTALL_DEVDIR: the directory searched for serial device nodes
// (ttyS0.., ttyUSB0..); default /dev.
std::string SerialDeviceDir();

// "<serverbin>/backend/usb"
std::string UsbBackendPath();
// "<serverbin>/filter/"
std::string FilterTargetDir();
// "<datadir>/model/"
std::string ModelTargetDir();

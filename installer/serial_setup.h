// Set-up of a printer on a serial port or a USB-to-serial adapter.
#pragma once

#include "registration.h"

// nInterface: 1 serial port, 2 USB-to-serial adapter. Finds the printer by a
// status probe, asks for the line settings and registers the queue, which it
// notes in *pInstalled where given. Returns 1 when the printer was
// installed, 0 otherwise.
int setup_uart(int nInterface, InstalledQueue* pInstalled = nullptr);

// Sends the real-time status request to the port and waits for a status
// byte. Returns 1 when a printer answered, 255 otherwise.
int check_port_ttyUSB(const char* pszDevPath);

// Builds the serial device URI and registers the queue. Returns 1 or 0.
int AddSerialPrinter(const char* pszDevPath, int nBaudRate, int nDataBits, int nParity, int nFlowControl,
                     InstalledQueue* pInstalled = nullptr);

// Set-up of a printer attached directly by USB.
#pragma once

#include "registration.h"

// Writes the title and installs through AddUsbPrinter; returns its result.
int setup_usb(InstalledQueue* pInstalled = nullptr);

// Takes the device URI from the usb backend, checks the model and registers
// the queue, which it notes in *pInstalled where given. Returns 1 when the
// queue was registered, 0 otherwise.
int AddUsbPrinter(InstalledQueue* pInstalled = nullptr);

// Set-up of a printer attached directly by USB.
#pragma once

// Writes the title and installs through AddUsbPrinter; returns its result.
int setup_usb();

// Takes the device URI from the usb backend, checks the model and registers
// the queue. Returns 1 when the queue was registered, 0 otherwise.
int AddUsbPrinter();

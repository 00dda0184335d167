// Set-up of a printer on the network, reached by a raw socket.
#pragma once

#include "registration.h"

// Asks for address and port, checks both and registers the queue, which it
// notes in *pInstalled where given. Returns 1 when the printer was
// installed, 0 otherwise.
int setup_eth(InstalledQueue* pInstalled = nullptr);

// Builds "socket://<address>:<port>" and registers the queue; returns 1 or 0.
int AddEthPrinter(const char* pszAddress, int nPort, const char* pszPrinterName,
                  InstalledQueue* pInstalled = nullptr);

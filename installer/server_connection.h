// Connections to the CUPS server that cannot hold the installer for ever.
//
// A server that takes the connection and then never answers would otherwise
// keep the installer silent for minutes. All requests of one run share one
// time limit: PRINTER_INSTALL_TIMEOUT seconds (default 25), counted from the
// first connection. Once it has passed, every wait for the server gives up,
// and no new connection is made.
#pragma once

#include <cups/cups.h>

// Connects to the CUPS server at pszHost (a host name or a domain socket
// path) on ippPort(), with cupsEncryption(). Returns nothing when the server
// cannot be reached or the time limit has passed; release with httpClose.
http_t* ConnectToServer(const char* pszHost);

// True when a request on the connection ended without any answer: no
// response, and the connection timed out or broke. A server that refused the
// request with an HTTP error (Forbidden, for one) did answer.
bool GotNoAnswer(http_t* pHttp, const ipp_t* pResponse);

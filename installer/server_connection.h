// Connections to the CUPS server, within the run's time limit (time_limit.h).
//
// Every request of a run goes to one server: the one that cupsServer() and
// ippPort() name (CUPS_SERVER, IPP_PORT, client.conf), as for every CUPS
// client. The queues are listed, added and checked on that same server.
#pragma once

#include <cups/cups.h>

// Connects to the CUPS server on ippPort(), with cupsEncryption(). Returns
// nothing when the server cannot be reached or the time limit has passed;
// release with httpClose.
http_t* ConnectToServer();

// True when the last request on the connection got no answer: the
// connection timed out or broke. A server that refused the request with an
// HTTP error (Forbidden, for one) did answer.
bool GotNoAnswer(http_t* pHttp);

// One time limit for everything a run waits for outside the console: the
// usb backend's listing and every request to the CUPS server.
//
// A server that takes the connection and never answers, or a backend that
// never ends, would otherwise keep the installer silent for minutes or for
// ever. The limit is PRINTER_INSTALL_TIMEOUT seconds (default 25), counted
// from the first wait of the run; once it has passed, every wait gives up.
#pragma once

#include <chrono>

using InstallClock = std::chrono::steady_clock;

// The end of the time limit, fixed at the first call.
InstallClock::time_point RunDeadline();

// Milliseconds left until the deadline; 0 once it has passed.
long long MillisecondsLeft();

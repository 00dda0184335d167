// Finds a printer on a serial port: the real-time status request DLE EOT 2
// at 115200 baud, 8 data bits, no parity, and a status byte back. The port
// gets its own line settings back afterwards, and what the probe left
// unsent or unread is dropped, so that a port that belongs to another
// device (a modem, a scale) finds them as they were.
#ifndef KORLA_SERIAL_PROBE_H
#define KORLA_SERIAL_PROBE_H

#include <functional>
#include <string>

enum class ProbeResult {
    NoPort,    // the port could not be opened
    NoAnswer,  // no status byte came back
    Answered,
};

// What the probe meets on its way, for a caller that tells it as it goes.
struct ProbeObserver {
    std::function<void()> opened;                 // the port is open, the requests are about to go out
    std::function<void(unsigned char)> received;  // a byte came back, status or not
};

// Asks at most four times, a second apart, until a byte other than 0 comes
// back: a port where nothing answers costs a little over four seconds.
ProbeResult ProbeSerialPort(const std::string& path, const ProbeObserver& observer = {});

#endif

// A serial printer's line: its port and settings, written as a device URI
// in the notation of CUPS's serial backend,
//   serial:/dev/ttyS0?baud=115200+bits=8+parity=none+flow=hard
// and applied to the open port.
#ifndef KORLA_SERIAL_LINE_H
#define KORLA_SERIAL_LINE_H

#include <termios.h>

#include <optional>
#include <string>

enum class Parity { None, Even, Odd };
enum class FlowControl { Hard, Soft, None };  // RTS/CTS, XON/XOFF, no handshake

struct SerialLine {
    std::string port;  // the device node
    int baud = 115200;
    int dataBits = 8;
    Parity parity = Parity::None;
    FlowControl flow = FlowControl::Hard;
};

// The settings a line may take, in the order the application's forms and
// the installer's menu offer them.
inline constexpr int BAUD_RATES[] = {115200, 57600, 38400, 19200, 14400, 9600, 4800, 2400};
inline constexpr int DATA_BITS[] = {8, 7};
inline constexpr const char* PARITY_WORDS[] = {"none", "even", "odd"};  // indexed by Parity
inline constexpr const char* FLOW_WORDS[] = {"hard", "soft", "none"};   // indexed by FlowControl

inline constexpr char SERIAL_SCHEME[] = "serial";

// True for a URI of the serial: scheme.
bool IsSerialUri(const std::string& uri);

// The line a serial: URI names. Settings it leaves out keep the values
// above. Nothing when the URI is not a serial one, its port is not an
// absolute path, or a setting is unknown or outside its choices; error then
// says why.
std::optional<SerialLine> ParseSerialUri(const std::string& uri, std::string& error);

// The URI of a line, every setting written out.
std::string SerialUri(const SerialLine& line);

// Makes termios settings those of a raw line with these settings: no echo,
// no translation, modem control lines ignored. A baud rate termios has no
// constant for is left to ApplySerialLine.
void SetLineFlags(termios& settings, const SerialLine& line);

// Gives the open port the line's settings. False when the port refuses.
bool ApplySerialLine(int fd, const SerialLine& line);

// Milliseconds the line needs to send this many bytes (start, data, parity
// and stop bits), rounded up.
long TransmitMillis(const SerialLine& line, long bytes);

#endif

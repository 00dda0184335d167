#include "serial_line.h"

#include <termios.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <sstream>

#include "serial_speed.h"

namespace {

const std::string SERIAL_PREFIX = std::string(SERIAL_SCHEME) + ":";

// The index of word in a word table, as the enumeration it stands for.
template <typename Enum, size_t N>
std::optional<Enum> FromWord(const char* const (&words)[N], const std::string& word)
{
    const auto found = std::find_if(std::begin(words), std::end(words),
                                    [&word](const char* candidate) { return word == candidate; });
    if (found == std::end(words))
        return std::nullopt;
    return static_cast<Enum>(found - std::begin(words));
}

template <size_t N>
bool IsOneOf(const int (&choices)[N], int value)
{
    return std::find(std::begin(choices), std::end(choices), value) != std::end(choices);
}

// A whole decimal number, nothing else.
std::optional<int> Number(const std::string& text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return atoi(text.c_str());
}

// One "name=value" setting into the line; false with error when it cannot be.
bool TakeSetting(const std::string& setting, SerialLine& line, std::string& error)
{
    const size_t equals = setting.find('=');
    const std::string name = setting.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : setting.substr(equals + 1);
    if (name == "baud") {
        const std::optional<int> baud = Number(value);
        if (baud && IsOneOf(BAUD_RATES, *baud)) {
            line.baud = *baud;
            return true;
        }
    } else if (name == "bits") {
        const std::optional<int> bits = Number(value);
        if (bits && IsOneOf(DATA_BITS, *bits)) {
            line.dataBits = *bits;
            return true;
        }
    } else if (name == "parity") {
        if (const std::optional<Parity> parity = FromWord<Parity>(PARITY_WORDS, value)) {
            line.parity = *parity;
            return true;
        }
    } else if (name == "flow") {
        if (const std::optional<FlowControl> flow = FromWord<FlowControl>(FLOW_WORDS, value)) {
            line.flow = *flow;
            return true;
        }
    } else {
        error = "unknown serial setting \"" + name + "\"";
        return false;
    }
    error = "unsupported " + name + " \"" + value + "\"";
    return false;
}

// The termios constant of a baud rate; B0 for a rate that has none.
speed_t SpeedCode(int baud)
{
    static const struct {
        int baud;
        speed_t code;
    } SPEEDS[] = {{115200, B115200}, {57600, B57600}, {38400, B38400}, {19200, B19200},
                  {9600, B9600},     {4800, B4800},   {2400, B2400}};
    for (const auto& speed : SPEEDS) {
        if (speed.baud == baud)
            return speed.code;
    }
    return B0;
}

tcflag_t CharacterSize(int dataBits)
{
    return dataBits == 7 ? CS7 : CS8;
}

tcflag_t ParityFlags(Parity parity)
{
    switch (parity) {
    case Parity::Even: return PARENB;
    case Parity::Odd: return PARENB | PARODD;
    case Parity::None: break;
    }
    return 0;
}

}  // namespace

bool IsSerialUri(const std::string& uri)
{
    return uri.compare(0, SERIAL_PREFIX.size(), SERIAL_PREFIX) == 0;
}

std::optional<SerialLine> ParseSerialUri(const std::string& uri, std::string& error)
{
    if (!IsSerialUri(uri)) {
        error = "not a serial device URI";
        return std::nullopt;
    }
    const size_t query = uri.find('?');
    SerialLine line;
    line.port = uri.substr(SERIAL_PREFIX.size(),
                           query == std::string::npos ? std::string::npos : query - SERIAL_PREFIX.size());
    if (line.port.size() < 2 || line.port[0] != '/') {
        error = "the serial port must be a path such as /dev/ttyS0";
        return std::nullopt;
    }
    if (query == std::string::npos)
        return line;
    // CUPS's serial backend separates the settings with "+" or "&".
    std::string settings = uri.substr(query + 1);
    std::replace(settings.begin(), settings.end(), '&', '+');
    std::istringstream parts(settings);
    for (std::string setting; std::getline(parts, setting, '+');) {
        if (!TakeSetting(setting, line, error))
            return std::nullopt;
    }
    return line;
}

std::string SerialUri(const SerialLine& line)
{
    return SERIAL_PREFIX + line.port + "?baud=" + std::to_string(line.baud) +
           "+bits=" + std::to_string(line.dataBits) + "+parity=" + PARITY_WORDS[static_cast<int>(line.parity)] +
           "+flow=" + FLOW_WORDS[static_cast<int>(line.flow)];
}

void SetLineFlags(termios& settings, const SerialLine& line)
{
    cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= CREAD | CLOCAL | CharacterSize(line.dataBits) | ParityFlags(line.parity);
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (line.flow == FlowControl::Hard)
        settings.c_cflag |= CRTSCTS;
    else if (line.flow == FlowControl::Soft)
        settings.c_iflag |= IXON | IXOFF;
    // Reads never wait here: whoever reads polls first, with a time-out.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    const speed_t speed = SpeedCode(line.baud);
    if (speed != B0)
        cfsetspeed(&settings, speed);
}

bool ApplySerialLine(int fd, const SerialLine& line)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    SetLineFlags(settings, line);
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        return false;
    return SpeedCode(line.baud) != B0 || SetCustomLineSpeed(fd, line.baud);
}

long TransmitMillis(const SerialLine& line, long bytes)
{
    const long bitsPerByte = 1 + line.dataBits + (line.parity == Parity::None ? 0 : 1) + 1;
    return (bytes * bitsPerByte * 1000 + line.baud - 1) / line.baud;
}

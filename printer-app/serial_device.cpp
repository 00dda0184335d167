#include "serial_device.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "serial_line.h"

namespace {

// How long a read waits for the printer's answer once the line has sent
// what was written before it.
constexpr int ANSWER_WAIT_MS = 500;

SerialPortRule portRule = SerialPortRule::AnyTerminal;

struct PortKind {
    const char* prefix;  // device node name, followed by the port's number
    const char* label;
};

const PortKind PORT_KINDS[] = {
    {"ttyS", "Serial port"},
    {"ttyUSB", "USB-to-serial adapter"},
    {"ttyACM", "USB serial device"},
};

// An open port and the line it was opened with.
struct SerialPort {
    int fd;
    SerialLine line;
};

SerialPort* PortOf(pappl_device_t* device)
{
    return static_cast<SerialPort*>(papplDeviceGetData(device));
}

std::string DeviceFolder()
{
    const char* folder = getenv(DEVICE_FOLDER_VARIABLE);
    return folder != nullptr && *folder != '\0' ? folder : "/dev";
}

const PortKind* KindOf(const std::string& name)
{
    for (const PortKind& kind : PORT_KINDS) {
        const size_t length = strlen(kind.prefix);
        if (name.size() > length && name.compare(0, length, kind.prefix) == 0 &&
            name.find_first_not_of("0123456789", length) == std::string::npos)
            return &kind;
    }
    return nullptr;
}

// A terminal, which a serial port is. Linux creates ttyS nodes whether or
// not a UART is fitted; the driver says which are real. Other ports (USB
// adapters, pseudo-terminals) exist only while their device does.
bool PortIsPresent(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool absentUart = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
    const bool terminal = isatty(fd);
    close(fd);
    return terminal && !absentUart;
}

// ttyS2 before ttyS10.
bool PortOrder(const std::string& a, const std::string& b)
{
    const std::string nameA = std::filesystem::path(a).filename();
    const std::string nameB = std::filesystem::path(b).filename();
    const size_t digitsA = nameA.find_first_of("0123456789");
    const size_t digitsB = nameB.find_first_of("0123456789");
    const int compared = nameA.compare(0, digitsA, nameB, 0, digitsB);
    if (compared != 0)
        return compared < 0;
    return atoi(nameA.c_str() + digitsA) < atoi(nameB.c_str() + digitsB);
}

// A port of the kinds above in the device folder: a serial: URI never
// makes the server open another file for reading and writing.
bool IsPortPath(const std::string& path)
{
    const std::filesystem::path port(path);
    return port.parent_path().lexically_normal() == std::filesystem::path(DeviceFolder()).lexically_normal() &&
           KindOf(port.filename()) != nullptr;
}

bool ListSerialPorts(pappl_device_cb_t cb, void* data, pappl_deverror_cb_t /*errCb*/, void* /*errData*/)
{
    for (const std::string& port : SerialPorts()) {
        const std::string info = SerialPortLabel(port);
        SerialLine line;
        line.port = port;
        if (cb(info.c_str(), SerialUri(line).c_str(), "", data))
            return true;
    }
    return false;
}

bool OpenSerial(pappl_device_t* device, const char* deviceUri, const char* /*name*/)
{
    std::string error;
    const std::optional<SerialLine> line = ParseSerialUri(deviceUri, error);
    if (!line) {
        papplDeviceError(device, "%s: %s", deviceUri, error.c_str());
        return false;
    }
    if (portRule == SerialPortRule::PortsOfTheFolder && !IsPortPath(line->port)) {
        papplDeviceError(device, "%s: %s is not a serial port of %s", deviceUri, line->port.c_str(),
                         DeviceFolder().c_str());
        return false;
    }
    // Opened without waiting for a carrier; writes then block as the line
    // takes them, like any printer's.
    const int fd = open(line->port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        papplDeviceError(device, "Unable to open %s: %s", line->port.c_str(), strerror(errno));
        return false;
    }
    if (!isatty(fd)) {
        papplDeviceError(device, "%s is not a serial port", line->port.c_str());
        close(fd);
        return false;
    }
    if (!ApplySerialLine(fd, *line) || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        papplDeviceError(device, "%s refuses the line settings %s: %s", line->port.c_str(), deviceUri, strerror(errno));
        close(fd);
        return false;
    }
    // An answer left over from earlier must not pass for a new one.
    tcflush(fd, TCIFLUSH);
    papplDeviceSetData(device, new SerialPort{fd, *line});
    return true;
}

// Everything written reaches the printer before the port closes, however
// long the printer holds the line.
void CloseSerial(pappl_device_t* device)
{
    SerialPort* port = PortOf(device);
    tcdrain(port->fd);
    close(port->fd);
    delete port;
    papplDeviceSetData(device, nullptr);
}

// Waits for the printer's answer as long as the line needs to send what is
// still queued, and a little more; -1 when nothing came.
ssize_t ReadSerial(pappl_device_t* device, void* buffer, size_t bytes)
{
    SerialPort* port = PortOf(device);
    int queued = 0;
    ioctl(port->fd, TIOCOUTQ, &queued);
    pollfd entry{port->fd, POLLIN, 0};
    const long wait = TransmitMillis(port->line, queued) + ANSWER_WAIT_MS;
    if (poll(&entry, 1, static_cast<int>(wait)) <= 0)
        return -1;
    return read(port->fd, buffer, bytes);
}

ssize_t WriteSerial(pappl_device_t* device, const void* buffer, size_t bytes)
{
    SerialPort* port = PortOf(device);
    const char* next = static_cast<const char*>(buffer);
    size_t left = bytes;
    while (left > 0) {
        const ssize_t written = write(port->fd, next, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            papplDeviceError(device, "Unable to write to %s: %s", port->line.port.c_str(), strerror(errno));
            return -1;
        }
        next += written;
        left -= static_cast<size_t>(written);
    }
    return static_cast<ssize_t>(bytes);
}

bool StopAtFirst(const char* /*info*/, const char* /*uri*/, const char* /*id*/, void* /*data*/)
{
    return true;
}

}  // namespace

void AddSerialScheme(SerialPortRule rule)
{
    portRule = rule;
    // PAPPL registers its own schemes the first time devices are listed,
    // but not once another scheme is there: list first.
    papplDeviceList(PAPPL_DEVTYPE_FILE, StopAtFirst, nullptr, nullptr, nullptr);
    papplDeviceAddScheme(SERIAL_SCHEME, PAPPL_DEVTYPE_CUSTOM_LOCAL, ListSerialPorts, OpenSerial, CloseSerial,
                         ReadSerial, WriteSerial, nullptr, nullptr);
}

std::vector<std::string> SerialPorts()
{
    std::vector<std::string> ports;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(DeviceFolder(), error)) {
        const std::string path = entry.path();
        if (KindOf(entry.path().filename()) != nullptr && PortIsPresent(path))
            ports.push_back(path);
    }
    std::sort(ports.begin(), ports.end(), PortOrder);
    return ports;
}

std::string SerialPortLabel(const std::string& port)
{
    const std::string name = std::filesystem::path(port).filename();
    const PortKind* kind = KindOf(name);
    return kind ? std::string(kind->label) + " " + name : port;
}

void DiscardUnsentOutput(pappl_device_t* device)
{
    // Only when the port itself still queues bytes: a pseudo-terminal (the
    // emulator, a virtual serial port) queues none, and flushing it would
    // throw away what the other side has not read yet, the end of the last
    // receipt among it.
    const int fd = PortOf(device)->fd;
    int queued = 0;
    if (ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0)
        tcflush(fd, TCOFLUSH);
}

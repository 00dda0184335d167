#include "link_words.h"

#include <cups/cups.h>

#include <optional>

#include "serial_line.h"

namespace {

const char* const PARITY_NAMES[] = {"no parity", "even parity", "odd parity"};  // by Parity
const char* const FLOW_NAMES[] = {"RTS/CTS flow control", "XON/XOFF flow control", "no flow control"};  // by FlowControl

std::string SerialWords(const SerialLine& line)
{
    return std::to_string(line.baud) + " baud, " + std::to_string(line.dataBits) + " data bits, " +
           PARITY_NAMES[static_cast<int>(line.parity)] + ", " + FLOW_NAMES[static_cast<int>(line.flow)];
}

}  // namespace

LinkWords DescribeLink(const std::string& deviceUri)
{
    std::string error;
    if (const std::optional<SerialLine> line = ParseSerialUri(deviceUri, error))
        return {"Serial port " + line->port, SerialWords(*line)};
    char scheme[32], userpass[256], host[256], resource[256];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, deviceUri.c_str(), scheme, sizeof scheme, userpass, sizeof userpass,
                        host, sizeof host, &port, resource, sizeof resource) >= HTTP_URI_STATUS_OK) {
        if (std::string(scheme) == "socket")
            return {"Network, " + std::string(host) + " port " + std::to_string(port), ""};
        if (std::string(scheme) == "usb")
            return {"USB, " + deviceUri, ""};
    }
    return {deviceUri, ""};
}

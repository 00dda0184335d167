// The real-time status request for the roll paper sensor, DLE EOT 4, and
// the printer's one-byte answer, over the links that answer: a device PAPPL
// has open, or a connection of its own to a network printer.
#ifndef KORLA_STATUS_REQUEST_H
#define KORLA_STATUS_REQUEST_H

#include <pappl/pappl.h>

#include <optional>
#include <string>

#include "status_byte.h"

// Over an open device: a job's, or one opened for the request alone.
// Nothing when no byte came back.
std::optional<unsigned char> AskOverDevice(pappl_device_t* device, StatusKind kind = StatusKind::PaperSensor);

// Over a short connection of its own to the printer of a socket:// URI;
// every step has a short time-out. Nothing when no byte came back.
std::optional<unsigned char> AskOverNetwork(const std::string& deviceUri);

#endif

// How korla-logos reaches the printer: over any link of the printer
// application (network, serial, USB), or as a raw job of a CUPS queue,
// which its backend passes on with the queue's own link settings.
#ifndef KORLA_LOGO_SENDER_H
#define KORLA_LOGO_SENDER_H

#include <string>
#include <vector>

// The device URI to open: a network printer's URI that leaves out the port
// gets the printer's own; "" with error when the URI cannot be opened.
std::string DeviceUriToOpen(const std::string& deviceUri, std::string& error);

bool SendToDevice(const std::string& deviceUri, const std::vector<unsigned char>& bytes, std::string& error);
bool SendToQueue(const std::string& queue, const std::vector<unsigned char>& bytes, std::string& error);

#endif

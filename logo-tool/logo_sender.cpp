#include "logo_sender.h"

#include <pappl/pappl.h>

#include "add_printer_page.h"
#include "network_link.h"
#include "raw_job.h"
#include "serial_device.h"

namespace {

constexpr char JOB_TITLE[] = "Stored logos";

void KeepError(const char* message, void* data)
{
    *static_cast<std::string*>(data) = message;
}

}  // namespace

std::string DeviceUriToOpen(const std::string& deviceUri, std::string& error)
{
    if (!IsSocketUri(deviceUri))
        return deviceUri;
    std::string address = deviceUri.substr(sizeof SOCKET_PREFIX - 1);
    if (!address.empty() && address.back() == '/')
        address.pop_back();
    return NetworkDeviceUri(address, error);
}

bool SendToDevice(const std::string& deviceUri, const std::vector<unsigned char>& bytes, std::string& error)
{
    AddSerialScheme(SerialPortRule::AnyTerminal);
    pappl_device_t* device = papplDeviceOpen(deviceUri.c_str(), JOB_TITLE, KeepError, &error);
    if (device == nullptr) {
        if (error.empty())
            error = "cannot open " + deviceUri;
        return false;
    }
    const bool sent = papplDeviceWrite(device, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    papplDeviceFlush(device);
    papplDeviceClose(device);
    if (!sent && error.empty())
        error = "the printer did not take every byte";
    return sent;
}

bool SendToQueue(const std::string& queue, const std::vector<unsigned char>& bytes, std::string& error)
{
    return SendRawJob(CUPS_HTTP_DEFAULT, queue, JOB_TITLE, bytes, error) != 0;
}

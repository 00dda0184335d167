#include "logo_sender.h"

#include <pappl/pappl.h>

#include "add_printer_page.h"
#include "serial_device.h"

namespace {

constexpr char SOCKET_PREFIX[] = "socket://";
constexpr char JOB_TITLE[] = "Stored logos";

void KeepError(const char* message, void* data)
{
    *static_cast<std::string*>(data) = message;
}

}  // namespace

std::string DeviceUriToOpen(const std::string& deviceUri, std::string& error)
{
    if (deviceUri.compare(0, sizeof SOCKET_PREFIX - 1, SOCKET_PREFIX) != 0)
        return deviceUri;
    std::string address = deviceUri.substr(sizeof SOCKET_PREFIX - 1);
    if (!address.empty() && address.back() == '/')
        address.pop_back();
    return NetworkDeviceUri(address, error);
}

bool SendToDevice(const std::string& deviceUri, const std::vector<unsigned char>& bytes, std::string& error)
{
    AddSerialScheme();
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
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), JOB_TITLE, 0, nullptr);
    if (job == 0) {
        error = cupsLastErrorString();
        return false;
    }
    const bool sent =
        cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), job, JOB_TITLE, CUPS_FORMAT_RAW, 1) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, reinterpret_cast<const char*>(bytes.data()), bytes.size()) ==
            HTTP_STATUS_CONTINUE &&
        cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str()) == IPP_STATUS_OK;
    if (!sent) {
        error = cupsLastErrorString();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
    }
    return sent;
}

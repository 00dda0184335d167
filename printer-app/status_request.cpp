#include "status_request.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cups/cups.h>

namespace {

constexpr auto PAPER_SENSOR_REQUEST = StatusRequest(StatusKind::PaperSensor);
constexpr int CONNECT_TIMEOUT_MS = 1000;
constexpr int ANSWER_TIMEOUT_MS = 500;

std::optional<unsigned char> AskOverSocket(int fd)
{
    if (send(fd, PAPER_SENSOR_REQUEST.data(), PAPER_SENSOR_REQUEST.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(PAPER_SENSOR_REQUEST.size()))
        return std::nullopt;
    pollfd entry{fd, POLLIN, 0};
    unsigned char answer = 0;
    if (poll(&entry, 1, ANSWER_TIMEOUT_MS) <= 0 || read(fd, &answer, 1) != 1)
        return std::nullopt;
    return answer;
}

}  // namespace

std::optional<unsigned char> AskOverDevice(pappl_device_t* device, StatusKind kind)
{
    const auto request = StatusRequest(kind);
    if (papplDeviceWrite(device, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
        return std::nullopt;
    papplDeviceFlush(device);
    unsigned char answer = 0;
    if (papplDeviceRead(device, &answer, 1) != 1)
        return std::nullopt;
    return answer;
}

std::optional<unsigned char> AskOverNetwork(const std::string& deviceUri)
{
    char scheme[32], userpass[256], host[256], resource[256];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, deviceUri.c_str(), scheme, sizeof(scheme), userpass, sizeof(userpass),
                        host, sizeof(host), &port, resource, sizeof(resource)) < HTTP_URI_STATUS_OK)
        return std::nullopt;
    http_addrlist_t* addresses = httpAddrGetList(host, AF_UNSPEC, std::to_string(port).c_str());
    int fd = -1;
    const bool connected = httpAddrConnect2(addresses, &fd, CONNECT_TIMEOUT_MS, nullptr) != nullptr;
    httpAddrFreeList(addresses);
    if (!connected)
        return std::nullopt;
    const std::optional<unsigned char> answer = AskOverSocket(fd);
    httpAddrClose(nullptr, fd);
    return answer;
}

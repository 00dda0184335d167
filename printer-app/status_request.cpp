#include "status_request.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cups/cups.h>

namespace {

constexpr unsigned char PAPER_SENSOR_REQUEST[] = {0x10, 0x04, 0x04};
constexpr int CONNECT_TIMEOUT_MS = 1000;
constexpr int ANSWER_TIMEOUT_MS = 500;

std::optional<unsigned char> AskOverSocket(int fd)
{
    if (send(fd, PAPER_SENSOR_REQUEST, sizeof(PAPER_SENSOR_REQUEST), MSG_NOSIGNAL) != sizeof(PAPER_SENSOR_REQUEST))
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
    const unsigned char request[] = {0x10, 0x04, static_cast<unsigned char>(kind)};
    if (papplDeviceWrite(device, request, sizeof(request)) != static_cast<ssize_t>(sizeof(request)))
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

#include "canned_server.h"

#include <cstring>
#include <unistd.h>

namespace {

constexpr char HEADER_END[] = "\r\n\r\n";

// The request body's length, from a head that libcups always gives one.
std::size_t ContentLength(const std::string& head)
{
    constexpr char NAME[] = "\r\nContent-Length:";
    const char* found = strcasestr(head.c_str(), NAME);
    return found ? std::strtoul(found + sizeof NAME - 1, nullptr, 10) : 0;
}

ssize_t AppendIpp(void* context, ipp_uchar_t* data, size_t length)
{
    static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), length);
    return static_cast<ssize_t>(length);
}

}  // namespace

CannedServer::CannedServer(Reply reply)
    : reply_(std::move(reply)), server_([this](int fd) { ServeConnection(fd); })
{
}

void CannedServer::ServeConnection(int fd)
{
    std::string received;
    char buffer[4096];
    for (;;) {
        const std::size_t headEnd = received.find(HEADER_END);
        const std::size_t bodyStart = headEnd + sizeof HEADER_END - 1;
        const std::size_t end =
            headEnd == std::string::npos ? std::string::npos : bodyStart + ContentLength(received.substr(0, headEnd));
        if (end <= received.size()) {
            const std::optional<std::string> reply = reply_(received.substr(bodyStart, end - bodyStart));
            received.erase(0, end);
            if (reply && write(fd, reply->data(), reply->size()) != static_cast<ssize_t>(reply->size()))
                return;
            continue;
        }
        const ssize_t n = server_.WaitReadable(fd) ? read(fd, buffer, sizeof buffer) : 0;
        if (n <= 0)
            return;
        received.append(buffer, static_cast<std::size_t>(n));
    }
}

int IppOperation(const std::string& request)
{
    if (request.size() < 4)
        return -1;
    return (static_cast<unsigned char>(request[2]) << 8) | static_cast<unsigned char>(request[3]);
}

std::string HttpStatusReply(int status, const std::string& reason)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Length: 0\r\n\r\n";
}

std::string IppStatusReply(const std::string& request, ipp_status_t status, const std::function<void(ipp_t*)>& fill)
{
    ipp_t* response = ippNew();
    ippSetStatusCode(response, status);
    ippAddString(response, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, "utf-8");
    ippAddString(response, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language", nullptr, "en");
    if (fill)
        fill(response);
    std::string body;
    ippWriteIO(&body, AppendIpp, 1, nullptr, response);
    ippDelete(response);
    // The request id, bytes 4 to 7 of the request and of the response.
    if (request.size() >= 8 && body.size() >= 8)
        body.replace(4, 4, request, 4, 4);
    return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

#include "network_link.h"

bool IsSocketUri(const std::string& uri)
{
    return uri.compare(0, sizeof SOCKET_PREFIX - 1, SOCKET_PREFIX) == 0;
}

std::string SocketUri(const std::string& host, int port)
{
    return SOCKET_PREFIX + host + ":" + std::to_string(port);
}

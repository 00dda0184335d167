// A printer on the network: raw TCP to its port, a socket:// device URI as
// CUPS's and PAPPL's socket backends take it.
#ifndef KORLA_NETWORK_LINK_H
#define KORLA_NETWORK_LINK_H

#include <string>

// The port the printer takes raw jobs on, unless it has been changed.
inline constexpr int PRINTER_NETWORK_PORT = 6001;

inline constexpr char SOCKET_PREFIX[] = "socket://";

bool IsSocketUri(const std::string& uri);

// "socket://HOST:PORT"; an IPv6 address in brackets, as it stands in a URI.
std::string SocketUri(const std::string& host, int port);

#endif

#include "network_address.h"

#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t MAX_HOST_NAME = 253;
constexpr std::size_t MAX_LABEL = 63;

bool IsIpv4Address(const char* pszAddress)
{
    in_addr address;
    return inet_pton(AF_INET, pszAddress, &address) == 1;
}

// "[...]" around an IPv6 address, as the address stands in a URI.
bool IsBracketedIpv6Address(std::string_view address)
{
    if (address.size() < 2 || address.front() != '[' || address.back() != ']')
        return false;
    const std::string inner(address.substr(1, address.size() - 2));
    in6_addr parsed;
    return inet_pton(AF_INET6, inner.c_str(), &parsed) == 1;
}

bool IsLabel(std::string_view label)
{
    if (label.empty() || label.size() > MAX_LABEL || label.front() == '-' || label.back() == '-')
        return false;
    for (const char ch : label) {
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-')
            return false;
    }
    return true;
}

bool IsAllDigits(std::string_view label)
{
    for (const char ch : label) {
        if (!std::isdigit(static_cast<unsigned char>(ch)))
            return false;
    }
    return true;
}

bool IsHostName(std::string_view name)
{
    if (name.size() > MAX_HOST_NAME)
        return false;
    std::string_view label;
    for (;;) {
        const std::size_t nDot = name.find('.');
        label = name.substr(0, nDot);
        if (!IsLabel(label))
            return false;
        if (nDot == std::string_view::npos)
            break;
        name.remove_prefix(nDot + 1);
    }
    return !IsAllDigits(label);
}

}  // namespace

bool IsPrinterAddress(const char* pszAddress)
{
    return IsIpv4Address(pszAddress) || IsBracketedIpv6Address(pszAddress) || IsHostName(pszAddress);
}

bool IsPrinterPort(int nPort)
{
    return nPort >= 1 && nPort <= 65535;
}

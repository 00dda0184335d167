// The network printer of the add-printer page, given by its address.
#include <gtest/gtest.h>

#include "add_printer_page.h"

namespace {

struct Address {
    const char* typed;
    const char* uri;  // "" when refused
};

class NetworkAddress : public ::testing::TestWithParam<Address> {};

TEST_P(NetworkAddress, GivesTheSocketUri)
{
    std::string error;
    const std::string uri = NetworkDeviceUri(GetParam().typed, error);
    EXPECT_EQ(GetParam().uri, uri);
    EXPECT_EQ(uri.empty(), !error.empty()) << error;
}

INSTANTIATE_TEST_SUITE_P(, NetworkAddress,
                         ::testing::Values(Address{"192.168.1.20", "socket://192.168.1.20:6001"},
                                           Address{"192.168.1.20:9100", "socket://192.168.1.20:9100"},
                                           Address{"till-printer.local", "socket://till-printer.local:6001"},
                                           Address{"[fd00::20]", "socket://[fd00::20]:6001"},
                                           Address{"[fd00::20]:9101", "socket://[fd00::20]:9101"},
                                           Address{"", ""}, Address{"192.168.1.20:", ""},
                                           Address{"192.168.1.20:0", ""}, Address{"192.168.1.20:65536", ""},
                                           Address{"192.168.1.20:91OO", ""}, Address{"fd00::20", ""},
                                           Address{"printer/ipp", ""}, Address{"a b", ""},
                                           Address{"user@host", ""}, Address{"[fd00::20", ""},
                                           Address{"999.1.1.1", ""}, Address{"till..printer", ""}));

}  // namespace

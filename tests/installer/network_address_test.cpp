// The address rule of the Ethernet set-up, case by case.
#include <string>

#include <gtest/gtest.h>

#include "network_address.h"

namespace {

struct AddressCase {
    std::string address;
    bool accepted;
};

void PrintTo(const AddressCase& c, std::ostream* os)
{
    *os << '"' << c.address << '"';
}

class PrinterAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(PrinterAddressTest, AcceptsOnlyReachableForms)
{
    EXPECT_EQ(GetParam().accepted, IsPrinterAddress(GetParam().address.c_str()));
}

const std::string LABEL63(63, 'a');

INSTANTIATE_TEST_SUITE_P(
    Addresses, PrinterAddressTest,
    ::testing::Values(
        AddressCase{"192.168.1.254", true}, AddressCase{"0.0.0.0", true}, AddressCase{"255.255.255.255", true},
        AddressCase{"256.1.1.1", false}, AddressCase{"1.2.3.4.5", false}, AddressCase{"1.2.3", false},
        // A leading zero reads as octal to some resolvers: 010 would be 8.
        AddressCase{"010.0.0.1", false}, AddressCase{"1.2.3.04", false},
        AddressCase{"", false}, AddressCase{"...", false}, AddressCase{"1..2.3", false},
        AddressCase{"1.2.3.4/../x?y#z", false}, AddressCase{"127.0.0.1;", false}, AddressCase{"::1", false},
        // IPv6 only in brackets, as it stands in a URI.
        AddressCase{"[::1]", true}, AddressCase{"[fd00::20]", true}, AddressCase{"[::ffff:192.168.1.2]", true},
        AddressCase{"[fd00::20", false}, AddressCase{"[fd00::zz]", false}, AddressCase{"[fd00::20]:9100", false},
        AddressCase{"[1.2.3.4]", false}, AddressCase{"[]", false}, AddressCase{"printer.shop.lan", true},
        AddressCase{"receipt-1.Back.shop.example", true}, AddressCase{"a1.b.c.d2", true},
        AddressCase{"printer.shop.123", false}, AddressCase{"-printer.shop.example", false},
        AddressCase{"printer-.shop.example", false}, AddressCase{"printer.shop.example.", false},
        AddressCase{"printer_1.shop.example", false},
        AddressCase{LABEL63 + ".shop.example", true}, AddressCase{LABEL63 + "a.shop.example", false},
        // 253 characters in all is the most a host name may have.
        AddressCase{LABEL63 + "." + LABEL63 + "." + LABEL63 + "." + std::string(61, 'b'), true},
        AddressCase{LABEL63 + "." + LABEL63 + "." + LABEL63 + "." + std::string(62, 'b'), false}));

}  // namespace

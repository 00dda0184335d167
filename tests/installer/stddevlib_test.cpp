// The cut rule for the device URI, on listings held in buffers of exactly
// their own size, so that a read past the end shows under AddressSanitizer.
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "stddevlib.h"

namespace {

std::optional<std::string> Cut(const std::string& listing)
{
    const std::unique_ptr<char[]> exact(new char[listing.size() + 1]);
    std::memcpy(exact.get(), listing.c_str(), listing.size() + 1);
    const char* uri = nullptr;
    std::size_t length = 0;
    if (!CutDirectDeviceUri(exact.get(), &uri, &length))
        return std::nullopt;
    return std::string(uri, length);
}

struct CutCase {
    const char* listing;
    std::optional<std::string> uri;
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << '"' << c.listing << '"';
}

class CutRuleTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutRuleTest, FindsUriOrNothing)
{
    EXPECT_EQ(GetParam().uri, Cut(GetParam().listing));
}

INSTANTIATE_TEST_SUITE_P(
    Listings, CutRuleTest,
    ::testing::Values(
        CutCase{"direct usb://A/B \"x\"", "usb://A/B"},
        CutCase{"network x \"y\"\ndirect usb://A/B?serial=1 \"A B\" \"\"\ndirect usb://C/D \"z\"",
                "usb://A/B?serial=1"},
        // "direct" counts anywhere, even inside another word; the URI starts
        // seven characters after it, whatever stands there.
        CutCase{"indirect usb://A/B \"x\"", "usb://A/B"},
        CutCase{"direct: usb://A/B \"x\"", " usb://A/B"},
        // The URI runs up to the first space and quote after "usb".
        CutCase{"direct hp:/usb/X?serial=1 \"HP\"", "hp:/usb/X?serial=1"},
        CutCase{"", std::nullopt},
        CutCase{"direct", std::nullopt},
        CutCase{"direct ", std::nullopt},
        CutCase{"direct u", std::nullopt},
        CutCase{"direct usb", std::nullopt},
        CutCase{"direct usb://A/B \"", "usb://A/B"},
        CutCase{"direct usb://A/B \n\"x\"", std::nullopt},
        CutCase{"direct serial:/dev/ttyS0 \"x\"", std::nullopt}));

}  // namespace

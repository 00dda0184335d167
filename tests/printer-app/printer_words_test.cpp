// What the test receipt and the Device page say of a printer: its answers
// to the four status requests, and its link, in words.
#include <gtest/gtest.h>

#include "printer_status.h"
#include "test_receipt_facts.h"

namespace {

TEST(StatusWords, SayWhatIsWrongThenTheBytes)
{
    struct Case {
        PrinterStatus status;
        const char* words;
    };
    const Case cases[] = {
        {{0x12, 0x12, 0x12, 0x12}, "on line, paper loaded (12 12 12 12)"},
        {{0x12, 0x12, 0x12, 0x1E}, "on line, paper near its end (12 12 12 1E)"},
        // The emulator's answers with its paper out.
        {{0x1A, 0x32, 0x12, 0x7E}, "off line, stopped at the paper end, out of paper (1A 32 12 7E)"},
        {{0x1A, 0x16, 0x5A, 0x12}, "off line, cover open, cutter error, error that clears itself, paper loaded (1A 16 5A 12)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.words, DescribeStatus(c.status));
}

TEST(LinkWords, NameTheLinkAndALinesSettings)
{
    struct Case {
        const char* uri;
        const char* link;
        const char* line;
    };
    const Case cases[] = {
        {"socket://192.168.1.20:6001", "Network, 192.168.1.20 port 6001", ""},
        {"serial:/dev/ttyUSB0?baud=9600+bits=7+parity=even+flow=soft", "Serial port /dev/ttyUSB0",
         "9600 baud, 7 data bits, even parity, XON/XOFF flow control"},
        {"serial:/dev/ttyS1", "Serial port /dev/ttyS1", "115200 baud, 8 data bits, no parity, RTS/CTS flow control"},
        {"usb://KORLA/Tessa-300?serial=42", "USB, usb://KORLA/Tessa-300?serial=42", ""},
    };
    for (const Case& c : cases) {
        const LinkWords words = DescribeLink(c.uri);
        EXPECT_EQ(c.link, words.link) << c.uri;
        EXPECT_EQ(c.line, words.line) << c.uri;
    }
}

}  // namespace

// A printer's link in words, as the test receipt tells it:
// "Network, 192.168.1.20 port 6001"; "Serial port /dev/ttyUSB0" with
// "115200 baud, 8 data bits, no parity, RTS/CTS flow control".
#ifndef KORLA_LINK_WORDS_H
#define KORLA_LINK_WORDS_H

#include <string>

struct LinkWords {
    std::string link;
    std::string line;  // a serial line's settings; "" for a link without them
};

LinkWords DescribeLink(const std::string& deviceUri);

#endif

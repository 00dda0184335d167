// The printer's answers to the four real-time status requests (DLE EOT 1
// to 4), in words, for the test receipt.
#ifndef KORLA_PRINTER_STATUS_H
#define KORLA_PRINTER_STATUS_H

#include <pappl/pappl.h>

#include <optional>
#include <string>

// The four answers, each a status byte.
struct PrinterStatus {
    unsigned char printer = 0;  // DLE EOT 1
    unsigned char offLine = 0;  // DLE EOT 2
    unsigned char error = 0;    // DLE EOT 3
    unsigned char paper = 0;    // DLE EOT 4
};

// Asks on the open device; nothing when an answer does not come or is no
// status byte.
std::optional<PrinterStatus> AskPrinterStatus(pappl_device_t* device);

// "on line, paper loaded (12 12 12 12)": what is wrong, or that nothing
// is, then the four bytes in hexadecimal.
std::string DescribeStatus(const PrinterStatus& status);

#endif

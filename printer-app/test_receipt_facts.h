// What the test receipt tells about a printer of the application: its
// name, model and paper, its link and line settings, its answer to the
// status requests, the receipt settings in effect and the logos it holds.
#ifndef KORLA_TEST_RECEIPT_FACTS_H
#define KORLA_TEST_RECEIPT_FACTS_H

#include <pappl/pappl.h>

#include <string>

#include "test_receipt.h"

// The link of a device URI in words, and a serial line's settings:
// "Network, 192.168.1.20 port 6001"; "Serial port /dev/ttyUSB0" and
// "115200 baud, 8 data bits, no parity, RTS/CTS flow control".
struct LinkWords {
    std::string link;
    std::string line;  // "" for a link without line settings
};
LinkWords DescribeLink(const std::string& deviceUri);

// Asks the printer on the job's device, where its link answers.
TestReceiptFacts GatherTestReceiptFacts(pappl_job_t* job, pappl_device_t* device);

#endif

// The test receipt: what the printer is, how it is reached and set up, and
// what it holds, printed with its own font, a ruler across the printable
// width, the logos stored, a darkness pattern and the cut.
#ifndef KORLA_TEST_RECEIPT_H
#define KORLA_TEST_RECEIPT_H

#include <string>
#include <utility>
#include <vector>

// What the front end knows of the printer. Texts are printed as they are,
// characters outside printable ASCII as '?', long lines wrapped.
struct TestReceiptFacts {
    std::string printerName;
    std::string model;
    unsigned paperMillimetres = 80;
    unsigned printableDots = 576;   // across the roll, a multiple of 8
    std::string link;               // "Network, 192.168.1.20 port 6001"
    std::string lineSettings;       // a serial line's settings; "" for other links
    std::string status;             // the printer's answer to the status requests; "" when none came
    std::vector<std::pair<std::string, std::string>> settings;  // every receipt setting in effect: label, value
    bool logosKnown = false;        // whether the stored logos below are known
    std::vector<std::pair<unsigned, unsigned>> storedLogos;     // dots across and down, logo 1 first
};

// Dots of the ruler and the darkness pattern: rows of printableDots / 8
// bytes, a set bit printed.
std::vector<unsigned char> RulerRows(unsigned printableDots);
std::vector<unsigned char> DarknessRows(unsigned printableDots);
inline constexpr unsigned RULER_ROWS = 24;
inline constexpr unsigned DARKNESS_ROWS = 48;

#endif

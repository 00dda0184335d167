// The test receipt, sent as text in the printer's font A (12 dots a
// character), two raster images and stored logos, then the cut that the
// settings choose.
#include "test_receipt.h"

#include "cmd_defs.h"
#include "receipt_engine.h"

namespace {

constexpr unsigned CHARACTER_DOTS = 12;
constexpr unsigned DOTS_PER_MILLIMETRE = 8;  // 203 dpi
constexpr char INDENT[] = "  ";

void SetDot(std::vector<unsigned char>& rows, unsigned bytesPerRow, unsigned x, unsigned y)
{
    rows[size_t{y} * bytesPerRow + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
}

std::string Printable(const std::string& text)
{
    std::string printable;
    for (const char c : text)
        printable += c >= ' ' && c <= '~' ? c : '?';
    return printable;
}

// Shades of the pattern from the left: every dot, three in four, one in
// two, one in four.
bool PatternDot(unsigned shade, unsigned x, unsigned y)
{
    switch (shade) {
    case 0: return true;
    case 1: return !(x % 2 == 1 && y % 2 == 1);
    case 2: return (x + y) % 2 == 0;
    default: return x % 2 == 0 && y % 2 == 0;
    }
}

}  // namespace

// A tick every millimetre, longer every five, full height every ten and at
// both ends of the printable width, on a base line.
std::vector<unsigned char> RulerRows(unsigned printableDots)
{
    const unsigned bytesPerRow = printableDots / 8;
    std::vector<unsigned char> rows(size_t{bytesPerRow} * RULER_ROWS, 0);
    for (unsigned x = 0; x < printableDots; ++x) {
        const unsigned millimetre = x / DOTS_PER_MILLIMETRE;
        unsigned height = 2;
        if (x % DOTS_PER_MILLIMETRE == 0)
            height = millimetre % 10 == 0 ? RULER_ROWS : millimetre % 5 == 0 ? RULER_ROWS / 2 : RULER_ROWS / 4;
        if (x == printableDots - 1)
            height = RULER_ROWS;
        for (unsigned y = RULER_ROWS - height; y < RULER_ROWS; ++y)
            SetDot(rows, bytesPerRow, x, y);
    }
    return rows;
}

std::vector<unsigned char> DarknessRows(unsigned printableDots)
{
    const unsigned bytesPerRow = printableDots / 8;
    const unsigned blockDots = printableDots / 4;
    std::vector<unsigned char> rows(size_t{bytesPerRow} * DARKNESS_ROWS, 0);
    for (unsigned y = 0; y < DARKNESS_ROWS; ++y) {
        for (unsigned x = 0; x < printableDots; ++x) {
            if (PatternDot(x / blockDots, x, y))
                SetDot(rows, bytesPerRow, x, y);
        }
    }
    return rows;
}

void ReceiptEngine::SendTextLine(const std::string& text, unsigned width)
{
    std::string rest = Printable(text);
    do {
        std::string line = rest.substr(0, width);
        rest.erase(0, line.size());
        rest.erase(0, rest.find_first_not_of(' '));
        if (!rest.empty())
            rest.insert(0, INDENT);
        line += '\n';
        WriteToPrinter(reinterpret_cast<const unsigned char*>(line.data()), line.size());
    } while (!rest.empty());
}

void ReceiptEngine::SendImage(const std::vector<unsigned char>& rows, uint32_t bytesPerRow)
{
    SendImageCommand(bytesPerRow, static_cast<uint32_t>(rows.size() / bytesPerRow), rows.size());
    WriteImageData(rows.data(), rows.size());
}

void ReceiptEngine::PrintTestReceipt(const TestReceiptFacts& facts)
{
    const unsigned width = facts.printableDots / CHARACTER_DOTS;
    const auto line = [this, width](const std::string& text) { SendTextLine(text, width); };
    StartDoc();
    line("TEST RECEIPT");
    line("Printer: " + facts.printerName);
    line("Model: " + facts.model);
    line("Paper: " + std::to_string(facts.paperMillimetres) + " mm, " + std::to_string(facts.printableDots) +
         " dots across");
    line("Link: " + facts.link);
    if (!facts.lineSettings.empty())
        line("Line: " + facts.lineSettings);
    line("Status: " + (facts.status.empty() ? std::string("no answer") : facts.status));
    line("");
    line("Settings in effect:");
    for (const auto& [label, value] : facts.settings)
        line(INDENT + label + ": " + value);
    line("");
    line("Ruler, a tick every millimetre:");
    SendImage(RulerRows(facts.printableDots), facts.printableDots / 8);
    line("");
    if (!facts.logosKnown)
        line("Logos stored: not known here");
    else if (facts.storedLogos.empty())
        line("Logos stored: none");
    else
        line("Logos stored: " + std::to_string(facts.storedLogos.size()));
    for (size_t i = 0; i < facts.storedLogos.size(); ++i) {
        line("Logo " + std::to_string(i + 1) + ", " + std::to_string(facts.storedLogos[i].first) + "x" +
             std::to_string(facts.storedLogos[i].second) + " dots:");
        const unsigned char printLogo[] = {0x1c, 0x70, static_cast<unsigned char>(i + 1), 0x00};
        WriteToPrinter(printLogo, sizeof printLogo);
        line("");
    }
    line("Darkness, every dot to one in four:");
    SendImage(DarknessRows(facts.printableDots), facts.printableDots / 8);
    CutPaper();
    Send(Initilize_Printer);
}

#include "printer_status.h"

#include <cstdio>
#include <vector>

#include "paper_status.h"
#include "status_request.h"

namespace {

// A bit of one of the answers, and what it means when set.
struct StatusBit {
    unsigned char PrinterStatus::*answer;
    unsigned char bit;
    const char* meaning;
};

const StatusBit STATUS_BITS[] = {
    {&PrinterStatus::printer, 0x08, "off line"},
    {&PrinterStatus::offLine, 0x04, "cover open"},
    {&PrinterStatus::offLine, 0x20, "stopped at the paper end"},
    {&PrinterStatus::error, 0x04, "mechanical error"},
    {&PrinterStatus::error, 0x08, "cutter error"},
    {&PrinterStatus::error, 0x20, "error that needs a restart"},
    {&PrinterStatus::error, 0x40, "error that clears itself"},
};

}  // namespace

std::optional<PrinterStatus> AskPrinterStatus(pappl_device_t* device)
{
    PrinterStatus status;
    for (auto [kind, answer] : {std::pair{StatusKind::Printer, &PrinterStatus::printer},
                                std::pair{StatusKind::OffLine, &PrinterStatus::offLine},
                                std::pair{StatusKind::Error, &PrinterStatus::error},
                                std::pair{StatusKind::PaperSensor, &PrinterStatus::paper}}) {
        const std::optional<unsigned char> byte = AskOverDevice(device, kind);
        if (!byte || !IsStatusByte(*byte))
            return std::nullopt;
        status.*answer = *byte;
    }
    return status;
}

std::string DescribeStatus(const PrinterStatus& status)
{
    std::string words;
    for (const StatusBit& bit : STATUS_BITS) {
        if (status.*bit.answer & bit.bit)
            words += std::string(words.empty() ? "" : ", ") + bit.meaning;
    }
    if (words.empty())
        words = "on line";
    const pappl_preason_t paper = PaperReasons(status.paper).value_or(PAPPL_PREASON_NONE);
    words += paper & PAPPL_PREASON_MEDIA_EMPTY ? ", out of paper"
             : paper & PAPPL_PREASON_MEDIA_LOW ? ", paper near its end"
                                                : ", paper loaded";
    char bytes[32];
    snprintf(bytes, sizeof bytes, " (%02X %02X %02X %02X)", status.printer, status.offLine, status.error, status.paper);
    return words + bytes;
}

// The receipt settings of one job: everything the receipt engine consults to
// decide what the printer gets. A front end fills it from wherever its
// settings live (the CUPS filter from the queue's PPD, the printer
// application from IPP attributes).
#ifndef KORLA_RECEIPT_SETTINGS_H
#define KORLA_RECEIPT_SETTINGS_H

#include <optional>
#include <string>

// A value that a setting does not have: the option is missing, or its
// default is not one of its choices.
inline constexpr int NO_SETTING = -1;

// One logo block, above or below the page.
struct LogoSettings {
    int justification = NO_SETTING;   // n of ESC a
    int quality = NO_SETTING;         // m of FS p
    int lineFeedAfter = NO_SETTING;   // lines fed after the logo
    int lineFeedBefore = NO_SETTING;  // lines fed before it
    int image = NO_SETTING;           // number of the image stored in the printer
};

struct ReceiptSettings {
    // Choice keywords, as stored; nothing when the option is missing.
    std::optional<std::string> paperSource;  // cut mode: "PartialCut", "NoCut", ...
    std::optional<std::string> startDoc;     // "Custom.\x1b..." bytes at the job's start, or a plain keyword
    std::optional<std::string> endDoc;       // the same at the job's end

    // Numbers of the choice keywords; NO_SETTING when missing.
    int executePaperCut = NO_SETTING;  // orvil_cut_paper_options_e
    int logoPosition = NO_SETTING;     // orvil_logo_options_e
    LogoSettings topLogo;
    LogoSettings bottomLogo;
    int fireCashDrawer = NO_SETTING;         // 0: drawers around the job; any other: around every copy
    int cashDrawer = NO_SETTING;             // orvil_cashdrawer_e
    int cashDrawer1Open = NO_SETTING;        // orvil_cashdrawre_op_e
    int cashDrawer2Open = NO_SETTING;
    int cashDrawer1PulseWidth = NO_SETTING;  // pulse time byte of ESC p
    int cashDrawer2PulseWidth = NO_SETTING;
    int fasterPrinting = NO_SETTING;  // 1: compact images (bands and feeds) for slow links
    int trimTopBlankRows = NO_SETTING;  // 1: a page prints from its first row with ink
};

#endif

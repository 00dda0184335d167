#include "receipt_options.h"

#include <cstdlib>

#include "custom_bytes.h"

namespace {

const std::vector<OptionChoice> LOGO_IMAGES = {
    {"1", "Logo 1"}, {"2", "Logo 2"}, {"3", "Logo 3"}, {"4", "Logo 4"},
    {"5", "Logo 5"}, {"6", "Logo 6"}, {"7", "Logo 7"}, {"8", "Logo 8"},
};
const std::vector<OptionChoice> JUSTIFICATIONS = {{"0", "Left"}, {"1", "Centre"}, {"2", "Right"}};
const std::vector<OptionChoice> LOGO_SIZES = {
    {"0", "Normal"}, {"1", "Double width"}, {"2", "Double height"}, {"3", "Double width and height"},
};
const std::vector<OptionChoice> LINE_FEEDS = {
    {"0", "None"}, {"1", "1 line"}, {"2", "2 lines"}, {"3", "3 lines"}, {"4", "4 lines"}, {"5", "5 lines"},
};
const std::vector<OptionChoice> DRAWER_TIMING = {
    {"0", "Before printing"}, {"1", "After printing"}, {"2", "Before and after printing"},
};
// Pulse times are in units of 2 ms.
const std::vector<OptionChoice> PULSE_WIDTHS = {
    {"25", "50 ms"}, {"50", "100 ms"}, {"100", "200 ms"}, {"150", "300 ms"}, {"200", "400 ms"}, {"250", "500 ms"},
};
const std::vector<OptionChoice> NO_BYTES = {{NO_CUSTOM_BYTES, "None"}};

// The most characters after "Custom." that the PPD lets a queue store: its
// "*Default" line holds 255 characters in all.
constexpr size_t MAX_START_DOC_TEXT = 230;
constexpr size_t MAX_END_DOC_TEXT = 232;

#define NUMBER(field) [](ReceiptSettings& s) -> int& { return s.field; }, nullptr
#define TEXT(field) nullptr, [](ReceiptSettings& s) -> std::optional<std::string>& { return s.field; }

const std::vector<ReceiptOption> OPTIONS = {
    {PPD_CUT_OPTION, "korla-paper-source", "Cut Mode",
     {{CUT_AUTOMATIC, "Automatic (partial cut after feeding)"},
      {CUT_PARTIAL, "Partial cut after feeding"},
      {CUT_PARTIAL_NO_FEED, "Partial cut without feeding"},
      {CUT_NONE_FEED, "No cut, feed six lines"},
      {CUT_NONE_NO_FEED, "No cut, no feed"}},
     CUT_PARTIAL, nullptr, 0, TEXT(paperSource)},
    {"ExecutePaperCut", "korla-execute-paper-cut", "When to Cut",
     {{"0", "Once, at the end of the job"}, {"1", "After every copy"}}, "1", nullptr, 0, NUMBER(executePaperCut)},
    {"LogoPosition", "korla-logo-position", "Logo Position",
     {{"0", "No logo"}, {"1", "Top of the receipt"}, {"2", "Bottom of the receipt"}, {"3", "Top and bottom"}}, "0",
     nullptr, 0, NUMBER(logoPosition)},
    {"TopLogoImage", "korla-top-logo-image", "Top Logo Number", LOGO_IMAGES, "1", nullptr, 0,
     NUMBER(topLogo.image)},
    {"TopLogoJustification", "korla-top-logo-justification", "Top Logo Alignment",
     JUSTIFICATIONS, "1", nullptr, 0, NUMBER(topLogo.justification)},
    {"TopLogoQuality", "korla-top-logo-quality", "Top Logo Size", LOGO_SIZES, "0", nullptr, 0,
     NUMBER(topLogo.quality)},
    {"TopLineFeedb4", "korla-top-line-feed-before", "Lines Before Top Logo", LINE_FEEDS, "0",
     nullptr, 0, NUMBER(topLogo.lineFeedBefore)},
    {"TopLineFeedAfter", "korla-top-line-feed-after", "Lines After Top Logo", LINE_FEEDS, "1",
     nullptr, 0, NUMBER(topLogo.lineFeedAfter)},
    {"BtmLogoImage", "korla-bottom-logo-image", "Bottom Logo Number", LOGO_IMAGES, "2", nullptr,
     0, NUMBER(bottomLogo.image)},
    {"BtmLogoJustification", "korla-bottom-logo-justification", "Bottom Logo Alignment",
     JUSTIFICATIONS, "1", nullptr, 0, NUMBER(bottomLogo.justification)},
    {"BtmLogoQuality", "korla-bottom-logo-quality", "Bottom Logo Size", LOGO_SIZES, "0", nullptr,
     0, NUMBER(bottomLogo.quality)},
    {"BtmLineFeedb4", "korla-bottom-line-feed-before", "Lines Before Bottom Logo", LINE_FEEDS,
     "1", nullptr, 0, NUMBER(bottomLogo.lineFeedBefore)},
    {"BtmLineFeedAfter", "korla-bottom-line-feed-after", "Lines After Bottom Logo", LINE_FEEDS,
     "0", nullptr, 0, NUMBER(bottomLogo.lineFeedAfter)},
    {"CashDrawer", "korla-cash-drawer", "Cash Drawer",
     {{"0", "No drawer"}, {"1", "Drawer 1"}, {"2", "Drawer 2"}, {"3", "Drawers 1 and 2"}}, "0", nullptr, 0,
     NUMBER(cashDrawer)},
    {"FireCashDrawer", "korla-fire-cash-drawer", "Open Drawers",
     {{"0", "Once per job"}, {"1", "With every copy"}}, "0", nullptr, 0, NUMBER(fireCashDrawer)},
    {"CashDrawerOpen1", "korla-cash-drawer-1-open", "Drawer 1 Opens", DRAWER_TIMING, "0",
     nullptr, 0, NUMBER(cashDrawer1Open)},
    {"CashDrawerOpen2", "korla-cash-drawer-2-open", "Drawer 2 Opens", DRAWER_TIMING, "0",
     nullptr, 0, NUMBER(cashDrawer2Open)},
    {"CashDrawer1PulseWidth", "korla-cash-drawer-1-pulse-width", "Drawer 1 Pulse", PULSE_WIDTHS,
     "50", nullptr, 0, NUMBER(cashDrawer1PulseWidth)},
    {"CashDrawer2PulseWidth", "korla-cash-drawer-2-pulse-width", "Drawer 2 Pulse", PULSE_WIDTHS,
     "50", nullptr, 0, NUMBER(cashDrawer2PulseWidth)},
    {PPD_CUSTOM_START_DOC, "korla-start-doc", "Bytes at Job Start", NO_BYTES, NO_CUSTOM_BYTES,
     nullptr, MAX_START_DOC_TEXT, TEXT(startDoc)},
    {PPD_CUSTOM_END_DOC, "korla-end-doc", "Bytes at Job End", NO_BYTES, NO_CUSTOM_BYTES, nullptr,
     MAX_END_DOC_TEXT, TEXT(endDoc)},
    // On by default in the application, off in the PPD: the application's
    // printers are often on a network or serial link where every byte
    // counts, while a queue keeps the bytes it has always sent.
    {"FasterPrinting", "korla-faster-printing", "Faster Printing on Slow Connections",
     {{"0", "Off"}, {"1", "On (sends less for the same receipt)"}}, "0", "1", 0, NUMBER(fasterPrinting)},
    // The PPD's alone: CUPS's PDF filters centre a short page on the
    // queue's page size. The application trims above and below by its own
    // setting, next.
    {"TrimTopBlankRows", nullptr, "Blank Paper Above the Receipt",
     {{"0", "Printed, as the page has it"}, {"1", "Left out"}}, "0", nullptr, 0, NUMBER(trimTopBlankRows)},
    // The application's alone: it fits its documents' rows to the head
    // itself, and leaves out the blank rows above and below the content.
    {nullptr, "korla-trim-blank-rows", "Blank Rows Above and Below",
     {{TRIM_BLANK_ROWS, "Left out"}, {KEEP_BLANK_ROWS, "Printed above the content"}}, nullptr, TRIM_BLANK_ROWS, 0,
     nullptr, nullptr},
};

#undef NUMBER
#undef TEXT

}  // namespace

const std::vector<ReceiptOption>& ReceiptOptions()
{
    return OPTIONS;
}

const ReceiptOption* FindOptionByAttribute(const std::string& ippName)
{
    for (const ReceiptOption& option : OPTIONS) {
        if (option.ippName != nullptr && ippName == option.ippName)
            return &option;
    }
    return nullptr;
}

const char* ApplicationDefault(const ReceiptOption& option)
{
    return option.applicationDefault != nullptr ? option.applicationDefault : option.ppdDefault;
}

bool TakesCustomBytes(const ReceiptOption& option)
{
    return option.maxCustomText > 0;
}

bool IsValidChoice(const ReceiptOption& option, const std::string& value)
{
    for (const OptionChoice& choice : option.choices) {
        if (value == choice.keyword)
            return true;
    }
    if (!TakesCustomBytes(option))
        return false;
    const std::optional<CustomBytes> custom = ReadCustomBytes(value);
    return custom && custom->wellFormed && custom->textLength <= option.maxCustomText;
}

std::string ChoiceLabel(const ReceiptOption& option, const std::string& value)
{
    for (const OptionChoice& choice : option.choices) {
        if (value == choice.keyword)
            return choice.label;
    }
    return value;
}

void StoreChoice(const ReceiptOption& option, ReceiptSettings& settings, const std::string& keyword)
{
    if (option.number != nullptr)
        option.number(settings) = atoi(keyword.c_str());
    else if (option.text != nullptr)
        option.text(settings) = keyword;
}

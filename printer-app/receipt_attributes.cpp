#include "receipt_attributes.h"

#include <cstdlib>
#include <cstring>

namespace {

// The most characters after "Custom." that the PPD lets a queue store: its
// "*Default" line holds 255 characters in all.
constexpr size_t MAX_START_DOC_TEXT = 230;
constexpr size_t MAX_END_DOC_TEXT = 232;

int Number(const std::string& value)
{
    return atoi(value.c_str());
}

const std::vector<AttributeChoice> LOGO_IMAGES = {
    {"1", "Logo 1"}, {"2", "Logo 2"}, {"3", "Logo 3"}, {"4", "Logo 4"},
    {"5", "Logo 5"}, {"6", "Logo 6"}, {"7", "Logo 7"}, {"8", "Logo 8"},
};
const std::vector<AttributeChoice> JUSTIFICATIONS = {{"0", "Left"}, {"1", "Centre"}, {"2", "Right"}};
const std::vector<AttributeChoice> LOGO_SIZES = {
    {"0", "Normal"}, {"1", "Double width"}, {"2", "Double height"}, {"3", "Double width and height"},
};
const std::vector<AttributeChoice> LINE_FEEDS = {
    {"0", "None"}, {"1", "1 line"}, {"2", "2 lines"}, {"3", "3 lines"}, {"4", "4 lines"}, {"5", "5 lines"},
};
const std::vector<AttributeChoice> DRAWER_TIMING = {
    {"0", "Before printing"}, {"1", "After printing"}, {"2", "Before and after printing"},
};
// Pulse times are in units of 2 ms.
const std::vector<AttributeChoice> PULSE_WIDTHS = {
    {"25", "50 ms"}, {"50", "100 ms"}, {"100", "200 ms"}, {"150", "300 ms"}, {"200", "400 ms"}, {"250", "500 ms"},
};
const std::vector<AttributeChoice> CUSTOM_BYTES = {};

#define RECEIPT_NUMBER(field) [](JobSettings& s, const std::string& v) { s.receipt.field = Number(v); }
#define RECEIPT_TEXT(field) [](JobSettings& s, const std::string& v) { s.receipt.field = v; }

const std::vector<ReceiptAttribute> ATTRIBUTES = {
    {"korla-paper-source", "Cut Mode", "PartialCut",
     {{"Automatic", "Automatic (partial cut after feeding)"},
      {"PartialCut", "Partial cut after feeding"},
      {"PartialCutNoFeeding", "Partial cut without feeding"},
      {"NoCut", "No cut, feed six lines"},
      {"NoFeedNoCut", "No cut, no feed"}},
     RECEIPT_TEXT(paperSource)},
    {"korla-execute-paper-cut", "When to Cut", "1",
     {{"0", "Once, at the end of the job"}, {"1", "After every copy"}}, RECEIPT_NUMBER(executePaperCut)},
    {"korla-logo-position", "Logo Position", "0",
     {{"0", "No logo"}, {"1", "Top of the receipt"}, {"2", "Bottom of the receipt"}, {"3", "Top and bottom"}},
     RECEIPT_NUMBER(logoPosition)},
    {"korla-top-logo-image", "Top Logo Number", "1", LOGO_IMAGES, RECEIPT_NUMBER(topLogo.image)},
    {"korla-top-logo-justification", "Top Logo Alignment", "1", JUSTIFICATIONS,
     RECEIPT_NUMBER(topLogo.justification)},
    {"korla-top-logo-quality", "Top Logo Size", "0", LOGO_SIZES, RECEIPT_NUMBER(topLogo.quality)},
    {"korla-top-line-feed-before", "Lines Before Top Logo", "0", LINE_FEEDS, RECEIPT_NUMBER(topLogo.lineFeedBefore)},
    {"korla-top-line-feed-after", "Lines After Top Logo", "1", LINE_FEEDS, RECEIPT_NUMBER(topLogo.lineFeedAfter)},
    {"korla-bottom-logo-image", "Bottom Logo Number", "2", LOGO_IMAGES, RECEIPT_NUMBER(bottomLogo.image)},
    {"korla-bottom-logo-justification", "Bottom Logo Alignment", "1", JUSTIFICATIONS,
     RECEIPT_NUMBER(bottomLogo.justification)},
    {"korla-bottom-logo-quality", "Bottom Logo Size", "0", LOGO_SIZES, RECEIPT_NUMBER(bottomLogo.quality)},
    {"korla-bottom-line-feed-before", "Lines Before Bottom Logo", "1", LINE_FEEDS,
     RECEIPT_NUMBER(bottomLogo.lineFeedBefore)},
    {"korla-bottom-line-feed-after", "Lines After Bottom Logo", "0", LINE_FEEDS,
     RECEIPT_NUMBER(bottomLogo.lineFeedAfter)},
    {"korla-cash-drawer", "Cash Drawer", "0",
     {{"0", "No drawer"}, {"1", "Drawer 1"}, {"2", "Drawer 2"}, {"3", "Drawers 1 and 2"}},
     RECEIPT_NUMBER(cashDrawer)},
    {"korla-fire-cash-drawer", "Open Drawers", "0", {{"0", "Once per job"}, {"1", "With every copy"}},
     RECEIPT_NUMBER(fireCashDrawer)},
    {"korla-cash-drawer-1-open", "Drawer 1 Opens", "0", DRAWER_TIMING, RECEIPT_NUMBER(cashDrawer1Open)},
    {"korla-cash-drawer-2-open", "Drawer 2 Opens", "0", DRAWER_TIMING, RECEIPT_NUMBER(cashDrawer2Open)},
    {"korla-cash-drawer-1-pulse-width", "Drawer 1 Pulse", "50", PULSE_WIDTHS,
     RECEIPT_NUMBER(cashDrawer1PulseWidth)},
    {"korla-cash-drawer-2-pulse-width", "Drawer 2 Pulse", "50", PULSE_WIDTHS,
     RECEIPT_NUMBER(cashDrawer2PulseWidth)},
    {"korla-start-doc", "Bytes at Job Start", "None", CUSTOM_BYTES, RECEIPT_TEXT(startDoc), MAX_START_DOC_TEXT},
    {"korla-end-doc", "Bytes at Job End", "None", CUSTOM_BYTES, RECEIPT_TEXT(endDoc), MAX_END_DOC_TEXT},
    // On by default here, unlike the PPD: the application's printers are
    // often on a network or serial link where every byte counts.
    {"korla-faster-printing", "Faster Printing on Slow Connections", "1",
     {{"0", "Off"}, {"1", "On (sends less for the same receipt)"}}, RECEIPT_NUMBER(fasterPrinting)},
    {"korla-trim-blank-rows", "Blank Rows Above and Below", "Trim",
     {{"Trim", "Left out"}, {"Keep", "Printed above the content"}},
     [](JobSettings& s, const std::string& v) { s.trimBlankRows = v == "Trim"; }},
};

#undef RECEIPT_NUMBER
#undef RECEIPT_TEXT

// Tokens \xH or \xHH, one after another, lower-case x.
bool IsByteTokens(const char* text)
{
    while (*text != '\0') {
        if (text[0] != '\\' || text[1] != 'x' || !isxdigit(static_cast<unsigned char>(text[2])))
            return false;
        text += isxdigit(static_cast<unsigned char>(text[3])) ? 4 : 3;
    }
    return true;
}

bool IsCustomBytes(const std::string& value, size_t maxText)
{
    if (value == "None")
        return true;
    const size_t prefix = strlen(CUSTOM_PREFIX);
    return value.compare(0, prefix, CUSTOM_PREFIX) == 0 && value.size() - prefix <= maxText &&
           IsByteTokens(value.c_str() + prefix);
}

// Quotes text for a strings file.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

const std::vector<ReceiptAttribute>& ReceiptAttributes()
{
    return ATTRIBUTES;
}

const ReceiptAttribute* FindReceiptAttribute(const std::string& name)
{
    for (const ReceiptAttribute& attribute : ATTRIBUTES) {
        if (name == attribute.name)
            return &attribute;
    }
    return nullptr;
}

bool IsValidChoice(const ReceiptAttribute& attribute, const std::string& value)
{
    if (attribute.choices.empty())
        return IsCustomBytes(value, attribute.maxCustomText);
    for (const AttributeChoice& choice : attribute.choices) {
        if (value == choice.keyword)
            return true;
    }
    return false;
}

std::string ChoiceLabel(const ReceiptAttribute& attribute, const std::string& value)
{
    for (const AttributeChoice& choice : attribute.choices) {
        if (value == choice.keyword)
            return choice.label;
    }
    return value;
}

std::string ReceiptAttributeStrings()
{
    std::string strings;
    for (const ReceiptAttribute& attribute : ATTRIBUTES) {
        strings += Quoted(attribute.name) + " = " + Quoted(attribute.label) + ";\n";
        for (const AttributeChoice& choice : attribute.choices)
            strings += Quoted(std::string(attribute.name) + "." + choice.keyword) + " = " + Quoted(choice.label) + ";\n";
    }
    return strings;
}

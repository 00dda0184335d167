// The receipt settings as IPP attributes: one vendor attribute per setting of
// the queue's PPD, with the PPD's choice keywords as its values, so that a
// shop finds the same settings and choices in both front ends.
#ifndef KORLA_RECEIPT_ATTRIBUTES_H
#define KORLA_RECEIPT_ATTRIBUTES_H

#include <string>
#include <vector>

#include "receipt_settings.h"

// Everything a job of the printer application is printed with.
struct JobSettings {
    ReceiptSettings receipt;
    bool trimBlankRows = true;  // leave out the blank rows above and below the content
};

struct AttributeChoice {
    const char* keyword;  // the PPD's choice keyword, the IPP value
    const char* label;    // the PPD's display text
};

// What custom bytes start with, unless they are "None".
inline constexpr char CUSTOM_PREFIX[] = "Custom.";

struct ReceiptAttribute {
    const char* name;                     // IPP attribute name; "NAME-default" holds the printer's default
    const char* label;                    // the PPD's display text of the option
    const char* defaultValue;             // the PPD's default choice
    std::vector<AttributeChoice> choices; // empty: custom bytes, "None" or "Custom.\xHH..."
    void (*store)(JobSettings& settings, const std::string& value);
    size_t maxCustomText = 0;             // custom bytes: the most characters after "Custom.", as in the PPD
};

// Every receipt setting, in the order the web page shows them.
const std::vector<ReceiptAttribute>& ReceiptAttributes();

const ReceiptAttribute* FindReceiptAttribute(const std::string& name);

// Whether value is one of the attribute's choices; for custom bytes, "None"
// or "Custom." followed by at most maxCustomText characters of \xH or \xHH
// tokens.
bool IsValidChoice(const ReceiptAttribute& attribute, const std::string& value);

// The display text of a value: its choice's label, or the value itself
// for custom bytes and for a value that is no choice.
std::string ChoiceLabel(const ReceiptAttribute& attribute, const std::string& value);

// The settings that the values give, each looked up by attribute name; a
// setting without a value keeps the PPD's default.
template <typename Lookup>
JobSettings SettingsFrom(Lookup valueOf)
{
    JobSettings settings;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        const std::string value = valueOf(attribute);
        attribute.store(settings, value.empty() ? attribute.defaultValue : value);
    }
    return settings;
}

// The display texts of the attributes and their choices, in the strings
// format that PAPPL localises its web pages with.
std::string ReceiptAttributeStrings();

#endif

// The receipt settings as IPP attributes: the options of the receipt
// options table that the application offers (receipt_options.h), one vendor
// attribute each, with the PPD's choice keywords as its values, so that a
// shop finds the same settings and choices in both front ends.
#ifndef KORLA_RECEIPT_ATTRIBUTES_H
#define KORLA_RECEIPT_ATTRIBUTES_H

#include <string>
#include <vector>

#include "receipt_options.h"
#include "receipt_settings.h"

// Everything a job of the printer application is printed with.
struct JobSettings {
    ReceiptSettings receipt;
    bool trimBlankRows = true;  // leave out the blank rows above and below the content
};

// An option as the application offers it: its attribute is ippName, its
// default ApplicationDefault().
using ReceiptAttribute = ReceiptOption;

// Every receipt setting of the application, in the order the web page shows them.
const std::vector<ReceiptAttribute>& ReceiptAttributes();

const ReceiptAttribute* FindReceiptAttribute(const std::string& name);

// Sets the attribute's setting from one of its values.
void StoreAttribute(const ReceiptAttribute& attribute, JobSettings& settings, const std::string& value);

// The settings that the values give, each looked up by attribute; a
// setting without a value keeps the application's default.
template <typename Lookup>
JobSettings SettingsFrom(Lookup valueOf)
{
    JobSettings settings;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        const std::string value = valueOf(attribute);
        StoreAttribute(attribute, settings, value.empty() ? ApplicationDefault(attribute) : value);
    }
    return settings;
}

// The display texts of the attributes and their choices, in the strings
// format that PAPPL localises its web pages with.
std::string ReceiptAttributeStrings();

#endif

#include "printer_settings.h"

#include <memory>
#include <vector>

namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

void AddAttribute(ipp_t* attributes, const ReceiptAttribute& attribute)
{
    const std::string supported = std::string(attribute.ippName) + "-supported";
    const std::string byDefault = std::string(attribute.ippName) + "-default";
    if (TakesCustomBytes(attribute)) {
        // Free text. PAPPL stores a vendor default only when its
        // "-supported" is missing or a list of keywords, numbers or booleans,
        // so it has none; PAPPL's printing defaults page then offers a text
        // field that takes anything, the receipt page one that checks it.
        ippAddString(attributes, IPP_TAG_PRINTER, IPP_TAG_TEXT, byDefault.c_str(), nullptr, ApplicationDefault(attribute));
        return;
    }
    std::vector<const char*> keywords;
    for (const OptionChoice& choice : attribute.choices)
        keywords.push_back(choice.keyword);
    ippAddStrings(attributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, supported.c_str(), static_cast<int>(keywords.size()),
                  nullptr, keywords.data());
    ippAddString(attributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, byDefault.c_str(), nullptr, ApplicationDefault(attribute));
}

std::string StoredDefault(ipp_t* printerAttributes, const ReceiptAttribute& attribute)
{
    const std::string byDefault = std::string(attribute.ippName) + "-default";
    return ValueOf(ippFindAttribute(printerAttributes, byDefault.c_str(), IPP_TAG_ZERO));
}

// The printer's default, unless it is not one of the setting's choices
// (stored by an older version, or edited by hand): then the shipped one.
std::string UsableDefault(ipp_t* printerAttributes, const ReceiptAttribute& attribute)
{
    const std::string value = StoredDefault(printerAttributes, attribute);
    return IsValidChoice(attribute, value) ? value : ApplicationDefault(attribute);
}

}  // namespace

void AddReceiptAttributes(pappl_pr_driver_data_t* driverData, ipp_t* driverAttributes)
{
    driverData->num_vendor = 0;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        if (driverData->num_vendor == PAPPL_MAX_VENDOR)
            break;
        driverData->vendor[driverData->num_vendor++] = attribute.ippName;
        AddAttribute(driverAttributes, attribute);
    }
}

std::string ValueOf(ipp_attribute_t* attribute)
{
    if (attribute == nullptr)
        return "";
    // Text as it is: ippAttributeString would escape the backslashes of a
    // custom-bytes value.
    const char* text = ippGetString(attribute, 0, nullptr);
    if (text != nullptr)
        return text;
    char formatted[256];
    ippAttributeString(attribute, formatted, sizeof(formatted));
    return formatted;
}

namespace {

// The job's own value, else the printer's default as jobs use it.
std::string ValueInEffect(pappl_job_t* job, ipp_t* printerAttributes, const ReceiptAttribute& attribute)
{
    const std::string value = ValueOf(papplJobGetAttribute(job, attribute.ippName));
    return value.empty() ? UsableDefault(printerAttributes, attribute) : value;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SettingsInWords(pappl_job_t* job)
{
    const IppPtr printerAttributes(papplPrinterGetDriverAttributes(papplJobGetPrinter(job)));
    std::vector<std::pair<std::string, std::string>> words;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        words.emplace_back(attribute.label, ChoiceLabel(attribute, ValueInEffect(job, printerAttributes.get(), attribute)));
    }
    return words;
}

std::optional<JobSettings> JobSettingsFor(pappl_job_t* job, std::string& message)
{
    const IppPtr printerAttributes(papplPrinterGetDriverAttributes(papplJobGetPrinter(job)));
    bool valid = true;
    JobSettings settings = SettingsFrom([&](const ReceiptAttribute& attribute) {
        const std::string value = ValueOf(papplJobGetAttribute(job, attribute.ippName));
        if (value.empty())
            return UsableDefault(printerAttributes.get(), attribute);
        if (!IsValidChoice(attribute, value)) {
            message = std::string("\"") + value + "\" is not a choice of " + attribute.ippName;
            valid = false;
        }
        return value;
    });
    return valid ? std::optional<JobSettings>(settings) : std::nullopt;
}

std::optional<JobSettings> JobSettingsToPrint(pappl_job_t* job)
{
    std::string message;
    std::optional<JobSettings> settings = JobSettingsFor(job, message);
    if (!settings) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: %s", message.c_str());
        papplJobSetMessage(job, "Not printed: %s", message.c_str());
    }
    return settings;
}

bool IsValidPrinterDefault(pappl_printer_t* /*printer*/, const char* name, const char* value, void* /*data*/)
{
    const ReceiptAttribute* attribute = FindReceiptAttribute(name);
    return attribute == nullptr || IsValidChoice(*attribute, value);
}

void ShowInvalidDefaults(pappl_printer_t* printer)
{
    const IppPtr printerAttributes(papplPrinterGetDriverAttributes(printer));
    std::string message;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        const std::string value = StoredDefault(printerAttributes.get(), attribute);
        if (!value.empty() && !IsValidChoice(attribute, value))
            message += std::string(message.empty() ? "" : " ") + "The stored default \"" + value + "\" of " +
                       attribute.ippName + " is not one of its choices: jobs print with \"" + ApplicationDefault(attribute) +
                       "\" until it is set again.";
    }
    papplPrinterSetStateMessage(printer, message.c_str());
}

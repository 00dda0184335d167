#include "receipt_attributes.h"

namespace {

std::vector<ReceiptAttribute> OfferedOptions()
{
    std::vector<ReceiptAttribute> offered;
    for (const ReceiptOption& option : ReceiptOptions()) {
        if (option.ippName != nullptr)
            offered.push_back(option);
    }
    return offered;
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
    static const std::vector<ReceiptAttribute> attributes = OfferedOptions();
    return attributes;
}

const ReceiptAttribute* FindReceiptAttribute(const std::string& name)
{
    return FindOptionByAttribute(name);
}

void StoreAttribute(const ReceiptAttribute& attribute, JobSettings& settings, const std::string& value)
{
    // The one setting that is the application's alone, which the engine
    // does not see: it trims the rows itself (receipt_job.h).
    if (attribute.number == nullptr && attribute.text == nullptr)
        settings.trimBlankRows = value == TRIM_BLANK_ROWS;
    else
        StoreChoice(attribute, settings.receipt, value);
}

std::string ReceiptAttributeStrings()
{
    std::string strings;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        strings += Quoted(attribute.ippName) + " = " + Quoted(attribute.label) + ";\n";
        for (const OptionChoice& choice : attribute.choices)
            strings += Quoted(std::string(attribute.ippName) + "." + choice.keyword) + " = " + Quoted(choice.label) + ";\n";
    }
    return strings;
}

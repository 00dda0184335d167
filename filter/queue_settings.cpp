// Reading the receipt settings from the queue's PPD, with libcups's PPD API
// (deprecated upstream, see ppd_api.h).
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include "queue_settings.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "receipt_options.h"
#include "trace.h"

namespace {

std::optional<std::string> TextOption(const char* keyword, ppd_file_t* ppd)
{
    const char* choice = GetPrinterOption(keyword, ppd);
    return choice ? std::optional<std::string>(choice) : std::nullopt;
}

}  // namespace

// libcups keeps at most 40 characters of an option's default choice, which
// cuts a long custom value; the PPD's own "*Default" line, which it keeps
// whole as an attribute, holds the rest.
const char* GetPrinterOption(const char* OptionName, ppd_file_t* ppd)
{
    const ppd_option_t* option = ppdFindOption(ppd, OptionName);
    if (option == nullptr) {
        KORLALog("No such a option name found\n");
        return nullptr;
    }
    const std::string defaultKeyword = std::string("Default") + OptionName;
    const ppd_attr_t* line = ppdFindAttr(ppd, defaultKeyword.c_str(), nullptr);
    if (line != nullptr && line->value != nullptr &&
        strncmp(line->value, option->defchoice, strlen(option->defchoice)) == 0)
        return line->value;
    return option->defchoice;
}

int GetOptionChoiceIndex(const char* choiceName, ppd_file_t* ppd)
{
    KORLALog("The choice name is %s\n", choiceName);
    ppd_choice_t* choice = ppdFindMarkedChoice(ppd, choiceName);
    if (choice == nullptr) {
        ppd_option_t* option = ppdFindOption(ppd, choiceName);
        if (option == nullptr) {
            KORLALog("No such a option\n");
            return -1;
        }
        choice = ppdFindChoice(option, option->defchoice);
        if (choice == nullptr) {
            KORLALog("Invalid choice\n");
            return -1;
        }
    }
    return atoi(choice->choice);
}

std::optional<ReceiptSettings> ReadQueueSettings(const char* path)
{
    PpdHandle ppd(path ? ppdOpenFile(path) : nullptr);
    if (!ppd) {
        KORLALog("Invalid PPD file env\n");
        return std::nullopt;
    }
    ReceiptSettings settings;
    for (const ReceiptOption& option : ReceiptOptions()) {
        if (option.ppdKeyword == nullptr)
            continue;
        if (option.text != nullptr)
            option.text(settings) = TextOption(option.ppdKeyword, ppd.get());
        else
            option.number(settings) = GetOptionChoiceIndex(option.ppdKeyword, ppd.get());
    }
    return settings;
}

std::vector<std::pair<std::string, std::string>> QueueSettingsInWords(const char* path)
{
    PpdHandle ppd(path ? ppdOpenFile(path) : nullptr);
    std::vector<std::pair<std::string, std::string>> words;
    for (const ReceiptOption& option : ReceiptOptions()) {
        if (!ppd || option.ppdKeyword == nullptr)
            continue;
        const char* choice = GetPrinterOption(option.ppdKeyword, ppd.get());
        words.emplace_back(option.label, choice ? ChoiceLabel(option, choice) : "not set");
    }
    return words;
}

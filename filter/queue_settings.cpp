// Reading the receipt settings from the queue's PPD, with libcups's PPD API
// (deprecated upstream, see ppd_api.h).
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include "queue_settings.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "filter_const.h"
#include "trace.h"

namespace {

std::optional<std::string> TextOption(const char* keyword, ppd_file_t* ppd)
{
    const char* choice = GetPrinterOption(keyword, ppd);
    return choice ? std::optional<std::string>(choice) : std::nullopt;
}

LogoSettings ReadLogo(ppd_file_t* ppd, const char* justification, const char* quality,
                      const char* lineFeedAfter, const char* lineFeedBefore, const char* image)
{
    LogoSettings logo;
    logo.justification = GetOptionChoiceIndex(justification, ppd);
    logo.quality = GetOptionChoiceIndex(quality, ppd);
    logo.lineFeedAfter = GetOptionChoiceIndex(lineFeedAfter, ppd);
    logo.lineFeedBefore = GetOptionChoiceIndex(lineFeedBefore, ppd);
    logo.image = GetOptionChoiceIndex(image, ppd);
    return logo;
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
    ppd_file_t* p = ppd.get();
    ReceiptSettings settings;
    settings.paperSource = TextOption(PPD_CUT_OPTION, p);
    settings.startDoc = TextOption(PPD_CUSTOM_START_DOC, p);
    settings.endDoc = TextOption(PPD_CUSTOM_END_DOC, p);
    settings.executePaperCut = GetOptionChoiceIndex(PPD_PAPER_CUT_OPTION, p);
    settings.logoPosition = GetOptionChoiceIndex(PPD_LOGO_POSITION, p);
    settings.topLogo = ReadLogo(p, PPD_TOP_LOGO_JUSTIFICATION, PPD_TOP_LOGO_QUALITY, PPD_TOP_LOGO_AFTER_LINEFEED,
                                PPD_TOP_LOGO_BEFORE_LINEFEED, PPD_TOP_LOGO_IMAGE);
    settings.bottomLogo = ReadLogo(p, PPD_BTM_LOGO_JUSTIFICATION, PPD_BTM_LOGO_QUALITY, PPD_BTM_LOGO_AFTER_LINEFEED,
                                   PPD_BTM_LOGO_BEFORE_LINEFEED, PPD_BTM_LOGO_IMAGE);
    settings.fireCashDrawer = GetOptionChoiceIndex(PPD_FIRE_CASH_DRAWER, p);
    settings.cashDrawer = GetOptionChoiceIndex(PPD_CASH_DRAWER_OPTION, p);
    settings.cashDrawer1Open = GetOptionChoiceIndex(PPD_CD1_OPEN, p);
    settings.cashDrawer2Open = GetOptionChoiceIndex(PPD_CD2_OPEN, p);
    settings.cashDrawer1PulseWidth = GetOptionChoiceIndex(PPD_CD1_TIME, p);
    settings.cashDrawer2PulseWidth = GetOptionChoiceIndex(PPD_CD2_TIME, p);
    settings.fasterPrinting = GetOptionChoiceIndex(PPD_FASTER_PRINTING, p);
    settings.trimTopBlankRows = GetOptionChoiceIndex(PPD_TRIM_TOP_BLANK_ROWS, p);
    return settings;
}

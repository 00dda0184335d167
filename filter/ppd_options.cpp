// Reading the receipt settings from the queue's PPD.
#include <cstdlib>

#include "RasterToKORLA.h"

PpdHandle RasterToKORLA::OpenQueuePpd()
{
    const char* path = getenv("PPD");
    PpdHandle ppd(path ? ppdOpenFile(path) : nullptr);
    if (!ppd)
        KORLALog("Invalid PPD file env\n");
    return ppd;
}

// The keyword of the option's default choice, as the file states it.
const char* RasterToKORLA::GetPrinterOption(const char* OptionName, ppd_file_t* ppd)
{
    const ppd_option_t* option = ppdFindOption(ppd, OptionName);
    if (option == nullptr) {
        KORLALog("No such a option name found\n");
        return nullptr;
    }
    return option->defchoice;
}

// The number written in the keyword of the option's selected choice; -1 when
// the option is missing or its default is not one of its choices.
int RasterToKORLA::GetOptionChoiceIndex(const char* choiceName, ppd_file_t* ppd)
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

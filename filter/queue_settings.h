// The queue's receipt settings, read from its PPD once per job.
#ifndef KORLA_QUEUE_SETTINGS_H
#define KORLA_QUEUE_SETTINGS_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ppd_api.h"
#include "receipt_settings.h"

// The keyword of the option's default choice, whole as the file states it;
// null when the PPD has no such option.
const char* GetPrinterOption(const char* OptionName, ppd_file_t* ppd);

// The number written in the keyword of the option's selected choice; -1 when
// the option is missing or its default is not one of its choices.
int GetOptionChoiceIndex(const char* choiceName, ppd_file_t* ppd);

// Every receipt setting of the PPD at path; nothing when path is null or the
// file cannot be read as a PPD.
std::optional<ReceiptSettings> ReadQueueSettings(const char* path);

// The same in words, as a test receipt shows them: each option's label and
// the label of its default choice (a custom value as it stands). Empty when
// the file cannot be read as a PPD.
std::vector<std::pair<std::string, std::string>> QueueSettingsInWords(const char* path);

#endif

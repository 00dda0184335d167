// The receipt options: every setting that decides a receipt's extras, with
// its keyword in the queue's PPD, its attribute in the printer application,
// its label, its choices and their labels, its defaults and the limit of a
// custom value. The filter reads the PPD by this table, the printer
// application builds its attributes, their checks and its web labels from
// it, and a test holds the shipped PPD to it choice by choice.
//
// To add an option: a row here, the same option in the PPD, its effect in
// the engine, and a test of that effect.
#ifndef KORLA_RECEIPT_OPTIONS_H
#define KORLA_RECEIPT_OPTIONS_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "receipt_settings.h"

// The PPD's option keywords that the filter reads as text.
inline constexpr char PPD_CUT_OPTION[] = "PaperSource";
inline constexpr char PPD_CUSTOM_START_DOC[] = "StartDoc";
inline constexpr char PPD_CUSTOM_END_DOC[] = "EndDoc";

// "PaperSource" choices, the cut modes.
inline constexpr char CUT_AUTOMATIC[] = "Automatic";
inline constexpr char CUT_PARTIAL[] = "PartialCut";
inline constexpr char CUT_PARTIAL_NO_FEED[] = "PartialCutNoFeeding";
inline constexpr char CUT_NONE_FEED[] = "NoCut";
inline constexpr char CUT_NONE_NO_FEED[] = "NoFeedNoCut";

// The choice of "StartDoc" and "EndDoc" that sends nothing; any other value
// is custom bytes (custom_bytes.h).
inline constexpr char NO_CUSTOM_BYTES[] = "None";

// The printer application's "korla-trim-blank-rows" choices.
inline constexpr char TRIM_BLANK_ROWS[] = "Trim";
inline constexpr char KEEP_BLANK_ROWS[] = "Keep";

struct OptionChoice {
    const char* keyword;  // the PPD's choice keyword, the application's value
    const char* label;
};

struct ReceiptOption {
    // Where the option exists: nullptr where it does not.
    const char* ppdKeyword;  // the PPD's option keyword
    const char* ippName;     // the printer application's attribute ("NAME-default" its printer default)
    const char* label;       // the PPD's display text and the application's label
    std::vector<OptionChoice> choices;
    const char* ppdDefault;  // the PPD's default choice
    // The application's default where it differs from the PPD's on purpose;
    // nullptr: the same.
    const char* applicationDefault;
    // The most characters after "Custom." of a custom value, as the PPD's
    // custom parameter allows; 0 for an option without custom values.
    size_t maxCustomText;
    // The setting it gives: a number option the decimal number that its
    // choice keyword starts with, a text option the keyword itself. Both
    // nullptr for the application's own "korla-trim-blank-rows", which the
    // application stores itself.
    int& (*number)(ReceiptSettings&);
    std::optional<std::string>& (*text)(ReceiptSettings&);
};

// Every option, in the order the printer application shows them.
const std::vector<ReceiptOption>& ReceiptOptions();

// The option of a printer application attribute; nullptr for any other name.
const ReceiptOption* FindOptionByAttribute(const std::string& ippName);

// The default that the printer application starts from.
const char* ApplicationDefault(const ReceiptOption& option);

bool TakesCustomBytes(const ReceiptOption& option);

// Whether value is one of the option's choices or, where the option takes
// them, well-formed custom bytes within its limit.
bool IsValidChoice(const ReceiptOption& option, const std::string& value);

// The label of a value: its choice's label, or the value itself for custom
// bytes and for a value that is no choice.
std::string ChoiceLabel(const ReceiptOption& option, const std::string& value);

// Sets the option's setting from a choice keyword, as the printer
// application does with its values.
void StoreChoice(const ReceiptOption& option, ReceiptSettings& settings, const std::string& keyword);

#endif

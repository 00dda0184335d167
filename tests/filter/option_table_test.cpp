// The shipped PPD against the table of receipt options, choice by choice:
// an option added to one and not the other, or a keyword, label, default or
// limit that differs, fails here.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // the PPD API, see ppd_api.h
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "custom_bytes.h"
#include "ppd_api.h"
#include "receipt_options.h"

namespace {

// The PPD's options that CUPS renders the page with, not receipt options.
const std::set<std::string> PAGE_OPTIONS = {"PageSize", "PageRegion", "Resolution", "ColorModel"};

const ReceiptOption* TableOption(const std::string& ppdKeyword)
{
    for (const ReceiptOption& option : ReceiptOptions()) {
        if (option.ppdKeyword != nullptr && ppdKeyword == option.ppdKeyword)
            return &option;
    }
    return nullptr;
}

// The most characters the custom value's one string parameter takes; 0 when
// the option takes no custom value.
size_t CustomMaximum(ppd_file_t* ppd, const char* keyword)
{
    ppd_coption_t* custom = ppdFindCustomOption(ppd, keyword);
    ppd_cparam_t* param = custom ? ppdFirstCustomParam(custom) : nullptr;
    if (param == nullptr)
        return 0;
    EXPECT_EQ(PPD_CUSTOM_STRING, param->type) << keyword;
    EXPECT_EQ(nullptr, ppdNextCustomParam(custom)) << keyword << ": one parameter only";
    return static_cast<size_t>(param->maximum.custom_string);
}

void ExpectSameOption(ppd_file_t* ppd, const ppd_option_t& ppdOption, const ReceiptOption& option)
{
    EXPECT_STREQ(option.label, ppdOption.text);
    EXPECT_STREQ(option.ppdDefault, ppdOption.defchoice);
    // libcups adds a last choice "Custom" to an option that takes custom values.
    const bool custom = ppdFindCustomOption(ppd, ppdOption.keyword) != nullptr;
    ASSERT_EQ(option.choices.size() + (custom ? 1 : 0), static_cast<size_t>(ppdOption.num_choices));
    for (size_t i = 0; i < option.choices.size(); ++i) {
        SCOPED_TRACE(option.choices[i].keyword);
        EXPECT_STREQ(option.choices[i].keyword, ppdOption.choices[i].choice);
        EXPECT_STREQ(option.choices[i].label, ppdOption.choices[i].text);
    }
    EXPECT_EQ(option.maxCustomText, CustomMaximum(ppd, ppdOption.keyword));
}

TEST(OptionTable, HoldsEveryReceiptOptionOfTheShippedPpdAsThePpdHasIt)
{
    PpdHandle ppd(ppdOpenFile(SHIPPED_PPD));
    ASSERT_TRUE(ppd);
    std::set<std::string> inPpd;
    for (ppd_option_t* ppdOption = ppdFirstOption(ppd.get()); ppdOption; ppdOption = ppdNextOption(ppd.get())) {
        if (PAGE_OPTIONS.count(ppdOption->keyword))
            continue;
        SCOPED_TRACE(ppdOption->keyword);
        inPpd.insert(ppdOption->keyword);
        const ReceiptOption* option = TableOption(ppdOption->keyword);
        ASSERT_NE(nullptr, option) << "in the PPD, not in the table";
        ExpectSameOption(ppd.get(), *ppdOption, *option);
    }
    for (const ReceiptOption& option : ReceiptOptions()) {
        if (option.ppdKeyword != nullptr) {
            EXPECT_EQ(1u, inPpd.count(option.ppdKeyword)) << option.ppdKeyword << ": in the table, not in the PPD";
        }
    }
}

// Where the printer application's default is not the PPD's, the table
// says so on purpose; every default is one of its option's choices.
TEST(OptionTable, DefaultsAreChoicesAndDifferOnlyWhereSaid)
{
    for (const ReceiptOption& option : ReceiptOptions()) {
        SCOPED_TRACE(option.ippName ? option.ippName : option.ppdKeyword);
        if (option.ppdKeyword != nullptr) {
            EXPECT_TRUE(IsValidChoice(option, option.ppdDefault));
        }
        if (option.ippName != nullptr) {
            EXPECT_TRUE(IsValidChoice(option, ApplicationDefault(option)));
        }
        if (option.applicationDefault != nullptr && option.ppdDefault != nullptr) {
            EXPECT_STRNE(option.ppdDefault, option.applicationDefault) << "a second default that is the same";
        }
    }
}

// One reading of a custom value for both front ends: what the printer gets,
// and whether the application would store it.
struct CustomCase {
    const char* value;
    std::vector<unsigned char> bytes;
    bool wellFormed;
};

class CustomValue : public ::testing::TestWithParam<CustomCase> {};

TEST_P(CustomValue, GivesTheBytesAndSaysWhetherWellFormed)
{
    const std::optional<CustomBytes> custom = ReadCustomBytes(GetParam().value);
    ASSERT_TRUE(custom);
    EXPECT_EQ(GetParam().bytes, custom->bytes);
    EXPECT_EQ(GetParam().wellFormed, custom->wellFormed);
}

INSTANTIATE_TEST_SUITE_P(
    , CustomValue,
    ::testing::Values(CustomCase{"Custom.", {}, true},
                      CustomCase{"Custom.\\x1b\\x61\\x1\\x0a", {0x1b, 0x61, 0x01, 0x0a}, true},
                      // Sent as far as it reads (from the eighth character on), refused by the application.
                      CustomCase{"Custom.\\x123", {0x23}, false}, CustomCase{"Custom.\\X1b\\X40", {0x1b}, false},
                      CustomCase{"Custom.\\x1b\\x", {0x1b}, false}, CustomCase{"Custom.\\x 1", {0x01}, false},
                      CustomCase{"StartCustom.\\x1b", {}, false}));

}  // namespace

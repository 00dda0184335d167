// The parts of the printer application that need no server: the settings'
// choices, the fitting of rows to the head, and a job's pages and copies.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "printer_bytes.h"
#include "receipt_attributes.h"
#include "receipt_job.h"
#include "row_fitter.h"

namespace {

struct ChoiceCase {
    const char* attribute;
    const char* value;
    bool valid;
};

class Choices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(Choices, AreThePpdsChoices)
{
    const ReceiptAttribute* attribute = FindReceiptAttribute(GetParam().attribute);
    ASSERT_NE(nullptr, attribute);
    EXPECT_EQ(GetParam().valid, IsValidChoice(*attribute, GetParam().value)) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    , Choices,
    ::testing::Values(ChoiceCase{"korla-paper-source", "PartialCutNoFeeding", true},
                      ChoiceCase{"korla-paper-source", "partialcut", false},
                      ChoiceCase{"korla-cash-drawer-1-pulse-width", "250", true},
                      ChoiceCase{"korla-cash-drawer-1-pulse-width", "60", false},
                      ChoiceCase{"korla-logo-position", "", false},
                      ChoiceCase{"korla-end-doc", "None", true},
                      ChoiceCase{"korla-end-doc", "Custom.", true},
                      ChoiceCase{"korla-end-doc", "Custom.\\x1b\\x61\\x1\\x0a", true},
                      ChoiceCase{"korla-end-doc", "Custom.\\x1B\\x74\\x2", true},
                      // The engine finds tokens by a lower-case x: \X would be cut short.
                      ChoiceCase{"korla-end-doc", "Custom.\\X1b", false},
                      ChoiceCase{"korla-end-doc", "Custom.\\xZ1", false},
                      ChoiceCase{"korla-end-doc", "Custom.\\x1b\\x", false},
                      ChoiceCase{"korla-end-doc", "Custom.\\x1b2", false},
                      ChoiceCase{"korla-start-doc", "custom.\\x1b", false},
                      ChoiceCase{"korla-trim-blank-rows", "Keep", true}));

// The most characters the shipped PPD's custom parameter of the option
// takes ("*ParamCustomStartDoc Bytes/...: 1 string 0 MAX"); 0 when absent.
size_t PpdCustomStringMaximum(const std::string& option)
{
    std::ifstream ppd(SHIPPED_PPD);
    const std::string key = "*ParamCustom" + option + " ";
    for (std::string line; std::getline(ppd, line);) {
        if (line.compare(0, key.size(), key) == 0)
            return std::stoul(line.substr(line.rfind(' ') + 1));
    }
    return 0;
}

// "Custom." and byte tokens of exactly `characters` characters (9 at least).
std::string CustomBytesOfLength(size_t characters)
{
    const size_t shortTokens = (4 - characters % 4) % 4;  // "\x1" tokens; the rest are "\x1b"
    std::string value = "Custom.";
    for (size_t i = 0; i < shortTokens; ++i)
        value += "\\x1";
    while (value.size() < 7 + characters)
        value += "\\x1b";
    return value;
}

// Both front ends take the same custom bytes: as many characters as the
// PPD lets a queue store, and no more.
TEST(ReceiptAttributes, CustomBytesAreAsLongAsThePpdAllows)
{
    for (const auto& [attributeName, option] :
         {std::pair<const char*, const char*>{"korla-start-doc", "StartDoc"}, {"korla-end-doc", "EndDoc"}}) {
        const ReceiptAttribute* attribute = FindReceiptAttribute(attributeName);
        ASSERT_NE(nullptr, attribute);
        const size_t maximum = PpdCustomStringMaximum(option);
        ASSERT_GT(maximum, 9u) << option;
        const std::string longest = CustomBytesOfLength(maximum);
        ASSERT_EQ(7 + maximum, longest.size());
        EXPECT_TRUE(IsValidChoice(*attribute, longest)) << attributeName;
        EXPECT_FALSE(IsValidChoice(*attribute, CustomBytesOfLength(maximum + 1))) << attributeName;
    }
}

TEST(ReceiptAttributes, DefaultsAreThePpdsAndFillEverySetting)
{
    const JobSettings settings = SettingsFrom([](const ReceiptAttribute&) { return std::string(); });
    EXPECT_EQ("PartialCut", settings.receipt.paperSource);
    EXPECT_EQ("None", settings.receipt.endDoc);
    EXPECT_EQ(1, settings.receipt.executePaperCut);
    EXPECT_EQ(2, settings.receipt.bottomLogo.image);
    EXPECT_EQ(50, settings.receipt.cashDrawer2PulseWidth);
    EXPECT_TRUE(settings.trimBlankRows);
    EXPECT_EQ(1, settings.receipt.fasterPrinting);  // on here, unlike the PPD
    for (const ReceiptAttribute& attribute : ReceiptAttributes())
        EXPECT_TRUE(IsValidChoice(attribute, ApplicationDefault(attribute))) << attribute.ippName;
}

struct FitCase {
    const char* name;
    unsigned sourceWidth;
    unsigned printableWidth;
    unsigned inkDot;     // the one dot with ink in the incoming row
    int printedDot;      // where it prints; -1: cropped off
};

class Fitting : public ::testing::TestWithParam<FitCase> {};

TEST_P(Fitting, KeepsTheMiddleOrCentres)
{
    const FitCase& fit = GetParam();
    std::vector<unsigned char> row((fit.sourceWidth + 7) / 8, 0);
    row[fit.inkDot / 8] = static_cast<unsigned char>(0x80 >> (fit.inkDot % 8));
    RowFitter fitter(fit.sourceWidth, static_cast<uint32_t>(row.size()), fit.printableWidth);
    ASSERT_EQ(fit.printableWidth / 8, fitter.BytesPerLine());
    const unsigned char* printed = fitter.Fit(row.data());
    std::vector<unsigned char> expected(fit.printableWidth / 8, 0);
    if (fit.printedDot >= 0)
        expected[fit.printedDot / 8] = static_cast<unsigned char>(0x80 >> (fit.printedDot % 8));
    EXPECT_EQ(expected, std::vector<unsigned char>(printed, printed + fitter.BytesPerLine()));
}

INSTANTIATE_TEST_SUITE_P(, Fitting,
                         ::testing::Values(FitCase{"page80mm_first_printable", 639, 576, 31, 0},
                                           FitCase{"page80mm_last_printable", 639, 576, 606, 575},
                                           FitCase{"page80mm_left_margin", 639, 576, 30, -1},
                                           FitCase{"page80mm_right_margin", 639, 576, 607, -1},
                                           FitCase{"head_wide", 576, 576, 100, 100},
                                           FitCase{"narrow_centred", 384, 576, 0, 96},
                                           FitCase{"page58mm", 463, 384, 39, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the engine sends, as one string.
class StringChannel : public PrinterChannel {
public:
    long Write(const unsigned char* data, size_t len) override
    {
        bytes.append(reinterpret_cast<const char*>(data), len);
        return static_cast<long>(len);
    }
    bool Cancelled() const override { return false; }
    std::string bytes;
};


size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Prints pages of 2 bytes a row: `blankAbove` blank rows, then one ink row.
std::string PrintJob(bool trim, int pages, int copies)
{
    JobSettings settings = SettingsFrom([](const ReceiptAttribute&) { return std::string(); });
    settings.trimBlankRows = trim;
    settings.receipt.fasterPrinting = 0;  // one image a page, blank rows and all
    StringChannel printer;
    ReceiptJob job(settings, printer);
    const unsigned char blank[2] = {0, 0};
    const unsigned char ink[2] = {0x81, 0x42};
    for (int page = 0; page < pages; ++page) {
        job.StartPage(16, 2, 10, 16);
        for (int row = 0; row < 3; ++row)
            job.WriteRow(blank);
        job.WriteRow(ink);
        job.EndPage();
    }
    job.PrintCopies(copies);
    job.Finish();
    return printer.bytes;
}

TEST(ReceiptJob, TrimmingLeavesOutTheBlankRowsAbove)
{
    EXPECT_NE(std::string::npos, PrintJob(true, 1, 1).find(ImageCommand(2, 1) + Bytes({0x81, 0x42})));
    EXPECT_NE(std::string::npos, PrintJob(false, 1, 1).find(ImageCommand(2, 4)));
}

TEST(ReceiptJob, EveryCopyOfThePagesEndsWithItsCut)
{
    const std::string twoCopies = PrintJob(true, 3, 2);
    EXPECT_EQ(6u, Count(twoCopies, kImageCommandStart));
    EXPECT_EQ(2u, Count(twoCopies, kPartialCut));
    // The second cut comes after the last page: nothing but the job's end follows.
    EXPECT_EQ(twoCopies.size() - kPartialCut.size() - 2, twoCopies.rfind(kPartialCut));
    EXPECT_EQ(0u, Count(PrintJob(true, 3, 0), kImageCommandStart));
}

}  // namespace

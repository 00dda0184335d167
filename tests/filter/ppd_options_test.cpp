// The two option readers on small PPDs.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // the PPD API, see ppd_api.h
#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace {

class PpdOptionsTest : public DriverTest {
protected:
    PpdHandle Open(const std::vector<PpdOption>& options)
    {
        WritePpd((dir / "options.ppd"), options);
        return PpdHandle(ppdOpenFile((dir / "options.ppd").c_str()));
    }
};

TEST_F(PpdOptionsTest, NumberIsTheDecimalNumberOfTheDefaultKeyword)
{
    const struct {
        const char* keyword;
        int expected;
    } cases[] = {{"3", 3}, {"0", 0}, {"300", 300}, {"-1", -1}, {"True", 0}, {"12abc", 12}};
    for (const auto& c : cases) {
        PpdHandle ppd = Open({{"CashDrawer", c.keyword, {"0", c.keyword}}});
        ASSERT_TRUE(ppd) << c.keyword;
        EXPECT_EQ(GetOptionChoiceIndex("CashDrawer", ppd.get()), c.expected) << c.keyword;
    }
}

TEST_F(PpdOptionsTest, MissingOptionOrUnofferedDefaultGivesMinusOne)
{
    PpdHandle ppd = Open({{"LogoPosition", "2", {"0", "1"}}, {"CashDrawer", "1"}});
    ASSERT_TRUE(ppd);
    EXPECT_EQ(GetOptionChoiceIndex("FireCashDrawer", ppd.get()), -1);
    EXPECT_EQ(GetOptionChoiceIndex("LogoPosition", ppd.get()), -1);
    EXPECT_EQ(GetOptionChoiceIndex("CashDrawer", ppd.get()), 1);
}

TEST_F(PpdOptionsTest, TextIsTheDefaultKeywordAsStored)
{
    PpdHandle ppd = Open({{"PaperSource", "NoCut", {"PartialCut", "NoCut"}},
                          {"EndDoc", "Custom.\\x1b\\x61\\x1", {"None"}}});
    ASSERT_TRUE(ppd);
    EXPECT_STREQ(GetPrinterOption("PaperSource", ppd.get()), "NoCut");
    // Not among the choices, yet returned unchanged.
    EXPECT_STREQ(GetPrinterOption("EndDoc", ppd.get()), "Custom.\\x1b\\x61\\x1");
    EXPECT_EQ(GetPrinterOption("StartDoc", ppd.get()), nullptr);
}

TEST_F(PpdOptionsTest, ShippedPpdDefaultsMakeAPlainReceipt)
{
    PpdHandle ppd(ppdOpenFile(SHIPPED_PPD));
    ASSERT_TRUE(ppd);
    EXPECT_STREQ(GetPrinterOption("PaperSource", ppd.get()), "PartialCut");
    EXPECT_STREQ(GetPrinterOption("StartDoc", ppd.get()), "None");
    EXPECT_STREQ(GetPrinterOption("EndDoc", ppd.get()), "None");
    const struct {
        const char* keyword;
        int value;
    } numbers[] = {{"ExecutePaperCut", 1}, {"LogoPosition", 0}, {"CashDrawer", 0},
                   {"FireCashDrawer", 0}, {"CashDrawer1PulseWidth", 50}};
    for (const auto& n : numbers)
        EXPECT_EQ(GetOptionChoiceIndex(n.keyword, ppd.get()), n.value) << n.keyword;
}

}  // namespace

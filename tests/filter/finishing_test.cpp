// The receipt extras, operation by operation: set-up, custom byte strings,
// cuts, logos and cash drawers, write by write.
#include "driver_fixture.h"
#include "printer_bytes.h"

namespace {

using FinishingTest = DriverTest;

TEST_F(FinishingTest, StartDocSendsTheSetUpInNineWritesWithoutAnyPpd)
{
    const Writes writes = Capture([](ReceiptEngine& d) { d.StartDoc(); });
    EXPECT_EQ(writes, SetUpWrites());
    EXPECT_EQ(Hex(Joined(writes)), "1B 40 1B 40 1B 40 1B 3D 01 1B 52 00 1B 74 02 1B 63 03 02 "
                                   "1B 63 04 00 1D 50 B4 B4");
}

// --- Custom byte strings -------------------------------------------------

struct EmulationCase {
    const char* choice;
    std::vector<std::string> expected;  // the writes: none, or one
};

class EmulationTest : public DriverTest, public ::testing::WithParamInterface<EmulationCase> {};

TEST_P(EmulationTest, SendsTheScannedBytesInOneWrite)
{
    UsePpd({{"EndDoc", GetParam().choice, {"None"}}});
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessEmulationCmd(Settings().endDoc); }),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, EmulationTest,
    ::testing::Values(
        EmulationCase{"Custom.\\x1b\\x61\\x1\\x0a", {Bytes({0x1B, 0x61, 0x01, 0x0A})}},
        EmulationCase{"Custom.\\x1B\\x74\\x2", {Bytes({0x1B, 0x74, 0x02})}},
        EmulationCase{"Custom.\\x1\\x2\\x3", {Bytes({0x01, 0x02, 0x03})}},
        EmulationCase{"Custom.\\x1b\\x40\\x1d\\x56\\x42\\x00", {Bytes({0x1B, 0x40, 0x1D, 0x56, 0x42, 0x00})}},
        // Longer than the 40 characters libcups keeps of a default choice.
        EmulationCase{"Custom.\\x1\\x1\\x1b\\x1b\\x1b\\x1b\\x1b\\x1b\\x1b",
                      {Bytes({0x01, 0x01, 0x1B, 0x1B, 0x1B, 0x1B, 0x1B, 0x1B, 0x1B})}},
        EmulationCase{"Custom.\\x1b\\x40\\x1b\\x61\\x01\\x1d\\x21\\x11\\x1b\\x45\\x01\\x1b\\x2d\\x01\\x1b\\x4a\\x40",
                      {Bytes({0x1B, 0x40, 0x1B, 0x61, 0x01, 0x1D, 0x21, 0x11, 0x1B, 0x45, 0x01, 0x1B, 0x2D, 0x01,
                              0x1B, 0x4A, 0x40})}},
        // A token's hexadecimal number is read whole; its low byte is sent.
        EmulationCase{"Custom.\\x123", {Bytes({0x23})}},
        // Only a lower-case x leads to the next token.
        EmulationCase{"Custom.\\X1b\\X40", {Bytes({0x1B})}},
        // A bad token ends the scan; the good ones before it are sent.
        EmulationCase{"Custom.\\x1b\\xZ1\\x40", {Bytes({0x1B})}},
        // Fewer than three characters, or no number at all: nothing is sent.
        EmulationCase{"Custom.\\x", {}},
        EmulationCase{"Custom.", {}},
        EmulationCase{"Custom.\\xZ1", {}},
        // Not a custom value.
        EmulationCase{"None", {}},
        EmulationCase{"custom.\\x1b", {}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(FinishingTest, EmulationCommandWithoutPpdOrOptionSendsNothing)
{
    UsePpd({});
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessEmulationCmd(Settings().startDoc); }).empty());
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessEmulationCmd(std::nullopt); }).empty());
}

// --- Paper cut -----------------------------------------------------------

struct CutCase {
    const char* paperSource;  // nullptr: the PPD lacks the option
    std::string cut;          // after the feed; empty for none
};

class CutPaperTest : public DriverTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutPaperTest, FeedsThenCutsInTheSelectedMode)
{
    if (GetParam().paperSource)
        UsePpd({{"PaperSource", GetParam().paperSource}});
    else
        UsePpd({});
    Writes expected = {kFeedBeforeCut};
    if (!GetParam().cut.empty())
        expected.push_back(GetParam().cut);
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.CutPaper(); }), expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, CutPaperTest,
                         ::testing::Values(CutCase{"Automatic", kPartialCut}, CutCase{"PartialCut", kPartialCut},
                                           CutCase{"PartialCutNoFeeding", kPartialCutNoFeed},
                                           CutCase{"NoCut", kFeedSixLines}, CutCase{"NoFeedNoCut", ""},
                                           CutCase{"partialcut", kPartialCut}, CutCase{"Other", kPartialCut},
                                           CutCase{nullptr, kPartialCut}),
                         [](const auto& info) {
                             return std::to_string(info.index) + "_" +
                                    (info.param.paperSource ? info.param.paperSource : "Missing");
                         });

TEST_F(FinishingTest, CutsNeedAReadablePpd)
{
    EXPECT_TRUE(Capture([](ReceiptEngine& d) {
                    d.CutPaper();
                    d.ProcessCutPaperEachCopy();
                    d.EndDoc();
                }).empty());
}

TEST_F(FinishingTest, CutPerCopyOnlyWhenExecutePaperCutIsOne)
{
    const Writes cut = {kFeedBeforeCut, kPartialCut};
    UsePpd({{"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}});
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessCutPaperEachCopy(); }), cut);
    UsePpd({{"ExecutePaperCut", "0"}, {"PaperSource", "PartialCut"}});
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessCutPaperEachCopy(); }).empty());
    UsePpd({{"PaperSource", "PartialCut"}});
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessCutPaperEachCopy(); }).empty());
}

TEST_F(FinishingTest, EndDocCutsOncePerJobThenDrawersThenBytesThenInitialise)
{
    UsePpd({{"ExecutePaperCut", "0"}, {"PaperSource", "NoCut"}, {"FireCashDrawer", "0"},
            {"CashDrawer", "2"}, {"CashDrawerOpen2", "1"}, {"CashDrawer2PulseWidth", "100"},
            {"EndDoc", "Custom.\\x1b\\x61\\x1", {"None"}}});
    const Writes expected = {kFeedBeforeCut, kFeedSixLines, DrawerPulse(2, 100), Bytes({0x1B, 0x61, 0x01}),
                             kInitialise};
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.EndDoc(); }), expected);
}

TEST_F(FinishingTest, EndDocWithoutACutPerJobStillInitialises)
{
    for (const std::vector<PpdOption>& options :
         {std::vector<PpdOption>{{"ExecutePaperCut", "1"}}, std::vector<PpdOption>{}}) {
        UsePpd(options);
        EXPECT_EQ(Capture([](ReceiptEngine& d) { d.EndDoc(); }), Writes{kInitialise});
    }
}

// --- Logos ---------------------------------------------------------------

TEST_F(FinishingTest, LogoBlocksCarryTheirOptionsAsLowBytes)
{
    UsePpd({{"TopLogoJustification", "1"}, {"TopLogoQuality", "0"}, {"TopLineFeedAfter", "2"},
            {"TopLineFeedb4", "1"}, {"TopLogoImage", "1"},
            {"BtmLogoJustification", "2"}, {"BtmLogoQuality", "3"}, {"BtmLineFeedAfter", "300"},
            {"BtmLineFeedb4", "0"}, {"BtmLogoImage", "7"}});
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessTopLogoOptions(); }), LogoBlock(1, 1, 1, 0, 2));
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessBottomLogoOptions(); }), LogoBlock(0, 2, 7, 3, 0x2C));
}

TEST_F(FinishingTest, LogoOptionsMissingFromThePpdAreSentAs0xFF)
{
    UsePpd({{"TopLogoImage", "0"}, {"TopLineFeedb4", "0"}});
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessTopLogoOptions(); }), LogoBlock(0, 0xFF, 0, 0xFF, 0xFF));
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessBottomLogoOptions(); }),
              LogoBlock(0xFF, 0xFF, 0xFF, 0xFF, 0xFF));
}

TEST_F(FinishingTest, LogosNeedAReadablePpd)
{
    setenv("PPD", (dir / "missing.ppd").c_str(), 1);
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessTopLogoOptions(); }).empty());
}

// --- Cash drawers --------------------------------------------------------

struct DrawerCase {
    int usage;
    int open1;
    int open2;
    const char* start;  // drawers pulsed before printing, in order
    const char* end;    // drawers pulsed after printing
};

constexpr int PULSE1 = 50;
constexpr int PULSE2 = 100;

Writes Pulses(const char* drawers)
{
    Writes writes;
    for (const char* d = drawers; *d; ++d)
        writes.push_back(*d == '1' ? DrawerPulse(1, PULSE1) : DrawerPulse(2, PULSE2));
    return writes;
}

class CashDrawerTest : public DriverTest, public ::testing::WithParamInterface<DrawerCase> {
protected:
    void UseDrawerPpd(const char* fireCashDrawer)
    {
        const DrawerCase& c = GetParam();
        UsePpd({{"CashDrawer", std::to_string(c.usage)}, {"CashDrawerOpen1", std::to_string(c.open1)},
                {"CashDrawerOpen2", std::to_string(c.open2)}, {"CashDrawer1PulseWidth", std::to_string(PULSE1)},
                {"CashDrawer2PulseWidth", std::to_string(PULSE2)}, {"FireCashDrawer", fireCashDrawer}});
    }
};

TEST_P(CashDrawerTest, JobModePulsesAroundTheJob)
{
    UseDrawerPpd("0");
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessCashDrawerAtStartDoc(); }), Pulses(GetParam().start));
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessCashDrawerAtEndDoc(); }), Pulses(GetParam().end));
}

TEST_P(CashDrawerTest, CopyModePulsesAroundEachCopyAndNeverAroundTheJob)
{
    UseDrawerPpd("1");
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessFireCashDrawerAtStartDoc(); }),
              Pulses(GetParam().start));
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessFireCashDrawerAtEndDoc(); }),
              Pulses(GetParam().end));
    EXPECT_TRUE(Capture([](ReceiptEngine& d) {
                    d.ProcessCashDrawerAtStartDoc();
                    d.ProcessCashDrawerAtEndDoc();
                }).empty());
}

INSTANTIATE_TEST_SUITE_P(
    DecisionTable, CashDrawerTest,
    ::testing::Values(DrawerCase{0, 2, 2, "", ""}, DrawerCase{1, 0, 2, "1", ""}, DrawerCase{1, 1, 0, "", "1"},
                      DrawerCase{1, 2, 1, "1", "1"}, DrawerCase{1, 3, 2, "", ""}, DrawerCase{2, 2, 0, "2", ""},
                      DrawerCase{2, 0, 1, "", "2"}, DrawerCase{2, 1, 2, "2", "2"}, DrawerCase{3, 0, 0, "12", ""},
                      DrawerCase{3, 0, 1, "1", "2"}, DrawerCase{3, 0, 2, "12", "2"}, DrawerCase{3, 1, 0, "2", "1"},
                      DrawerCase{3, 1, 1, "", "12"}, DrawerCase{3, 1, 2, "2", "12"}, DrawerCase{3, 2, 0, "12", "1"},
                      DrawerCase{3, 2, 1, "1", "12"}, DrawerCase{3, 2, 2, "12", "12"}, DrawerCase{4, 2, 2, "", ""},
                      DrawerCase{-1, 2, 2, "", ""}),
    [](const auto& info) {
        const DrawerCase& c = info.param;
        const std::string usage = c.usage < 0 ? "Minus" + std::to_string(-c.usage) : std::to_string(c.usage);
        return "CashDrawer" + usage + "_Open" + std::to_string(c.open1) + std::to_string(c.open2);
    });

TEST_F(FinishingTest, DrawerOptionsMissingFromThePpd)
{
    // No pulse time: both time bytes 0xFF. No "FireCashDrawer": copy mode.
    UsePpd({{"CashDrawer", "1"}, {"CashDrawerOpen1", "0"}});
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessCashDrawerAtStartDoc(); }).empty());
    EXPECT_EQ(Capture([](ReceiptEngine& d) { d.ProcessFireCashDrawerAtStartDoc(); }),
              Writes{Bytes({0x1B, 0x70, 0x30, 0xFF, 0xFF})});
    unsetenv("PPD");
    EXPECT_TRUE(Capture([](ReceiptEngine& d) { d.ProcessFireCashDrawerAtStartDoc(); }).empty());
}

// --- Pages ---------------------------------------------------------------

// A page printed twice (the printer application's copies) goes out the same
// both times: faster printing narrows a band's rows in the page's buffer
// only while the band goes out.
TEST_F(FinishingTest, FasterPrintingLeavesThePageAsItFoundIt)
{
    UsePpd({{"FasterPrinting", "1"}});
    JOBINFO page;
    PageBuilder builder(page, 576, 60, 72);
    for (unsigned row = 0; row < 60; ++row) {
        std::string bytes(72, '\0');
        if (row % 20 < 12)
            bytes.replace(0, 5 + row % 7 * 9, 5 + row % 7 * 9, static_cast<char>(0x81 + row));
        builder.AppendRow(reinterpret_cast<const unsigned char*>(bytes.data()));
    }
    builder.Finish();
    const std::string rows(reinterpret_cast<const char*>(page.szdatabuffer.get()), page.nbufferlen);

    const Writes first = Capture([&](ReceiptEngine& d) { d.PrintPage(page, false); });
    const Writes second = Capture([&](ReceiptEngine& d) { d.PrintPage(page, false); });
    EXPECT_GT(first.size(), 9u + 6u);  // set-up, and bands with feeds between them
    EXPECT_EQ(first, second);
    EXPECT_TRUE(rows == std::string(reinterpret_cast<const char*>(page.szdatabuffer.get()), page.nbufferlen));
}

}  // namespace

// What changes in the printer's stream when a queue's options are changed
// with lpadmin -o: cut modes, cash drawers before and after the job, both
// logos, custom bytes at the start and the end of the job. A one-page text
// receipt each time, on a queue of its own.
#include "chain_fixture.h"

namespace {

struct OptionCase {
    const char* name;
    std::vector<std::string> options;   // lpadmin -o, one each
    std::vector<std::string> expected;  // the job's outline
};

void PrintTo(const OptionCase& option, std::ostream* out)
{
    *out << option.name;
}

// The outline's fixed frame around the parts that the options change.
std::vector<std::string> OnePageOutline(const std::vector<std::string>& jobStart,
                                        const std::vector<std::string>& aboveImage,
                                        const std::vector<std::string>& belowImage,
                                        const std::vector<std::string>& jobEnd)
{
    std::vector<std::string> outline = {SET_UP};
    outline.insert(outline.end(), jobStart.begin(), jobStart.end());
    outline.push_back(SET_UP);
    outline.insert(outline.end(), aboveImage.begin(), aboveImage.end());
    outline.insert(outline.end(), {IMAGE, FEED_AFTER_PAGE});
    outline.insert(outline.end(), belowImage.begin(), belowImage.end());
    outline.insert(outline.end(), jobEnd.begin(), jobEnd.end());
    outline.push_back(INITIALISE);
    return outline;
}

const std::vector<std::string> DEFAULT_CUT = {FEED_TO_CUTTER, PARTIAL_CUT};
// ESC d before, ESC a, FS p n m, ESC a 0, ESC d after: the PPD's default top
// logo (stored image 1, centred, one line after) and bottom logo (image 2,
// centred, one line before).
const std::vector<std::string> TOP_LOGO = {"1B 64 00", "1B 61 01", "1C 70 01 00", "1B 61 00", "1B 64 01"};
const std::vector<std::string> BOTTOM_LOGO = {"1B 64 01", "1B 61 01", "1C 70 02 00", "1B 61 00", "1B 64 00"};

class QueueOptions : public ChainTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(QueueOptions, ChangeTheStreamAsStored)
{
    const std::string queue = NetworkQueueWith(GetParam().options);
    ASSERT_FALSE(queue.empty());
    const std::string document = SourceFile("samples/receipt.txt");
    const Receipt receipt = PrintOnNetwork(queue, document);
    EXPECT_EQ(GetParam().expected, receipt.outline);
    EXPECT_EQ(ImagesOf(ReferencePages(document)), receipt.images);
}

INSTANTIATE_TEST_SUITE_P(
    Options, QueueOptions,
    ::testing::Values(
        OptionCase{"AutomaticCut", {"PaperSource=Automatic"}, OnePageOutline({}, {}, {}, DEFAULT_CUT)},
        // GS V 1 takes no count: the 0x00 after it is a NUL of its own.
        OptionCase{"PartialCutWithoutFeeding", {"PaperSource=PartialCutNoFeeding"},
                   OnePageOutline({}, {}, {}, {FEED_TO_CUTTER, "1D 56 01", "00"})},
        OptionCase{"NoCutFeedsSixLines", {"PaperSource=NoCut"},
                   OnePageOutline({}, {}, {}, {FEED_TO_CUTTER, Hex(kFeedSixLines)})},
        OptionCase{"NoFeedNoCut", {"PaperSource=NoFeedNoCut"}, OnePageOutline({}, {}, {}, {FEED_TO_CUTTER})},
        OptionCase{"DrawerBeforePrinting", {"CashDrawer=1"}, OnePageOutline({DRAWER_1}, {}, {}, DEFAULT_CUT)},
        OptionCase{"SecondDrawerAfterPrinting",
                   {"CashDrawer=2", "CashDrawerOpen2=1", "CashDrawer2PulseWidth=100"},
                   OnePageOutline({}, {}, {}, {FEED_TO_CUTTER, PARTIAL_CUT, Hex(DrawerPulse(2, 100))})},
        OptionCase{"BothDrawersBeforeAndAfter",
                   {"CashDrawer=3", "CashDrawerOpen1=2", "CashDrawerOpen2=2", "CashDrawer1PulseWidth=25"},
                   OnePageOutline({Hex(DrawerPulse(1, 25)), DRAWER_2}, {}, {},
                                  {FEED_TO_CUTTER, PARTIAL_CUT, Hex(DrawerPulse(1, 25)), DRAWER_2})},
        OptionCase{"TopLogo", {"LogoPosition=1"}, OnePageOutline({}, TOP_LOGO, {}, DEFAULT_CUT)},
        OptionCase{"BottomLogo", {"LogoPosition=2"}, OnePageOutline({}, {}, BOTTOM_LOGO, DEFAULT_CUT)},
        OptionCase{"BothLogosAsChosen",
                   {"LogoPosition=3", "TopLogoImage=5", "TopLogoJustification=2", "TopLogoQuality=3",
                    "TopLineFeedb4=2", "TopLineFeedAfter=0", "BtmLogoImage=7", "BtmLogoJustification=0",
                    "BtmLogoQuality=1", "BtmLineFeedb4=0", "BtmLineFeedAfter=4"},
                   OnePageOutline({}, {"1B 64 02", "1B 61 02", "1C 70 05 03", "1B 61 00", "1B 64 00"},
                                  {"1B 64 00", "1B 61 00", "1C 70 07 01", "1B 61 00", "1B 64 04"}, DEFAULT_CUT)},
        // lpadmin takes a backslash as an escape: the shell's 'EndDoc=Custom.\\x1b\\x61\\x1'.
        OptionCase{"CustomEndDoc", {"EndDoc=Custom.\\\\x1b\\\\x61\\\\x1"},
                   OnePageOutline({}, {}, {}, {FEED_TO_CUTTER, PARTIAL_CUT, "1B 61 01"})},
        OptionCase{"CustomStartDoc", {"StartDoc=Custom.\\\\x1b\\\\x64\\\\x3"},
                   OnePageOutline({"1B 64 03"}, {}, {}, DEFAULT_CUT)},
        // Longer than the 40 characters libcups keeps of a default choice.
        OptionCase{"CustomStartDocOfTwelveBytes",
                   {"StartDoc=Custom.\\\\x1b\\\\x61\\\\x01\\\\x1b\\\\x64\\\\x02\\\\x1b\\\\x61\\\\x00\\\\x1b\\\\x64\\\\x03"},
                   OnePageOutline({"1B 61 01", "1B 64 02", "1B 61 00", "1B 64 03"}, {}, {}, DEFAULT_CUT)},
        OptionCase{"EverythingInItsPlace",
                   {"StartDoc=Custom.\\\\x1b\\\\x64\\\\x3", "EndDoc=Custom.\\\\x1b\\\\x61\\\\x1", "CashDrawer=3",
                    "CashDrawerOpen2=1", "LogoPosition=3", "PaperSource=NoCut"},
                   OnePageOutline({"1B 64 03", DRAWER_1}, TOP_LOGO, BOTTOM_LOGO,
                                  {FEED_TO_CUTTER, Hex(kFeedSixLines), DRAWER_2, "1B 61 01"})}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return info.param.name; });

// A raster of no pages (its sync word alone) is what README gives to open
// the queue's drawers at the till: the drawers due before and after the
// job open, and nothing is printed or cut.
class DrawerAloneQueueOptions : public ChainTest {};

TEST_F(DrawerAloneQueueOptions, JobWithoutPagesOpensTheDrawersOfTheSettings)
{
    const std::string queue = NetworkQueueWith({"CashDrawer=3", "CashDrawerOpen2=1"});
    ASSERT_FALSE(queue.empty());
    TempDir folder("korla-drawer-");
    WriteFile(folder / "drawer.ras", "RaS3");
    EXPECT_EQ((std::vector<std::string>{SET_UP, DRAWER_1, DRAWER_2, INITIALISE}),
              PrintOnNetwork(queue, folder / "drawer.ras").outline);
}

}  // namespace

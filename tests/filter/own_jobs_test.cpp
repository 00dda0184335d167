// The receipt engine's jobs of their own: a drawer opened alone, and the
// test receipt, its text fitted to the paper, its ruler and darkness
// pattern dot for dot, the stored logos and the cut of the settings.
#include <functional>

#include <gtest/gtest.h>

#include "printer_bytes.h"
#include "receipt_engine.h"
#include "test_receipt.h"

namespace {

class CollectedWrites : public PrinterChannel {
public:
    long Write(const unsigned char* data, size_t len) override
    {
        writes.emplace_back(reinterpret_cast<const char*>(data), len);
        return static_cast<long>(len);
    }
    bool Cancelled() const override { return false; }
    Writes writes;
};

Writes SentBy(const std::optional<ReceiptSettings>& settings, const std::function<void(ReceiptEngine&)>& job)
{
    CollectedWrites printer;
    ReceiptEngine engine(settings, printer);
    job(engine);
    return printer.writes;
}

TEST(OpenDrawer, PulsesTheChosenDrawerWithItsOwnPulseTime)
{
    ReceiptSettings settings;
    settings.cashDrawer1PulseWidth = 25;
    settings.cashDrawer2PulseWidth = 100;
    EXPECT_EQ(Writes{Bytes({0x1B, 0x70, 0x30, 25, 25})}, SentBy(settings, [](ReceiptEngine& e) { e.OpenDrawer(1); }));
    EXPECT_EQ(Writes{Bytes({0x1B, 0x70, 0x31, 100, 100})}, SentBy(settings, [](ReceiptEngine& e) { e.OpenDrawer(2); }));
    EXPECT_EQ(Writes{Bytes({0x1B, 0x70, 0x30, 0xFF, 0xFF})},
              SentBy(ReceiptSettings{}, [](ReceiptEngine& e) { e.OpenDrawer(1); }));
    EXPECT_TRUE(SentBy(std::nullopt, [](ReceiptEngine& e) { e.OpenDrawer(1); }).empty());
}

TestReceiptFacts Facts(unsigned printableDots)
{
    TestReceiptFacts facts;
    facts.printerName = "Caisse \xc3\xa9t\xc3\xa9";
    facts.model = "KORLA Tessa-300";
    facts.printableDots = printableDots;
    facts.link = "Network, 192.168.1.20 port 6001";
    facts.settings = {{"Bytes at Job Start", "Custom.\\x1b\\x61\\x1\\x1b\\x64\\x2\\x1b\\x61\\x0\\x1b\\x64\\x3"}};
    return facts;
}

// The rows of the n-th raster image of the writes.
std::string ImageRows(const Writes& writes, int n)
{
    for (size_t i = 0; i + 1 < writes.size(); ++i) {
        if (writes[i].compare(0, 3, "\x1d\x76\x30") == 0 && n-- == 0)
            return writes[i + 1];
    }
    return "";
}

bool Dot(const std::string& rows, unsigned bytesPerRow, unsigned x, unsigned y)
{
    return static_cast<unsigned char>(rows[y * bytesPerRow + x / 8]) & (0x80 >> (x % 8));
}

// The text lines fit the paper's 12-dot characters, longer ones wrapped and
// indented, and only printable ASCII reaches the printer.
TEST(TestReceipt, TextFitsThePaper)
{
    for (const unsigned dots : {576u, 384u}) {
        const Writes writes = SentBy(ReceiptSettings{}, [&](ReceiptEngine& e) { e.PrintTestReceipt(Facts(dots)); });
        const std::string all = Joined(writes);
        EXPECT_NE(std::string::npos, all.find("Printer: Caisse ??t??\n"));
        EXPECT_NE(std::string::npos, all.find("Status: no answer\n"));
        EXPECT_NE(std::string::npos, all.find("Logos stored: not known here\n"));
        for (const std::string& write : writes) {
            if (!write.empty() && write.back() == '\n') {
                EXPECT_LE(write.size() - 1, dots / 12) << write;
            }
        }
        EXPECT_NE(std::string::npos, all.find(dots == 576 ? "Link: Network, 192.168.1.20 port 6001\n"
                                                          : "Link: Network, 192.168.1.20 port\n  6001\n"))
            << dots;
    }
}

// A tick each millimetre (8 dots): full height every ten and at both
// edges, half every five, a quarter otherwise, on a base line.
TEST(TestReceipt, RulerMarksMillimetresAcrossThePrintableWidth)
{
    const unsigned width = 384, bytesPerRow = width / 8;
    const std::string rows = ImageRows(SentBy(ReceiptSettings{}, [](ReceiptEngine& e) { e.PrintTestReceipt(Facts(384)); }), 0);
    ASSERT_EQ(bytesPerRow * RULER_ROWS, rows.size());
    const auto height = [&](unsigned x) {
        unsigned rowsSet = 0;
        for (unsigned y = 0; y < RULER_ROWS; ++y)
            rowsSet += Dot(rows, bytesPerRow, x, y);
        return rowsSet;
    };
    EXPECT_EQ(RULER_ROWS, height(0));
    EXPECT_EQ(RULER_ROWS, height(80));
    EXPECT_EQ(RULER_ROWS, height(width - 1));
    EXPECT_EQ(RULER_ROWS / 2, height(40));
    EXPECT_EQ(RULER_ROWS / 4, height(8));
    EXPECT_EQ(2u, height(4));
    EXPECT_FALSE(Dot(rows, bytesPerRow, 4, RULER_ROWS - 3));
}

TEST(TestReceipt, DarknessShadesAreEveryDotToOneInFour)
{
    const unsigned width = 576, bytesPerRow = width / 8;
    const std::string rows = ImageRows(SentBy(ReceiptSettings{}, [](ReceiptEngine& e) { e.PrintTestReceipt(Facts(576)); }), 1);
    ASSERT_EQ(bytesPerRow * DARKNESS_ROWS, rows.size());
    const double expected[] = {1.0, 0.75, 0.5, 0.25};
    for (unsigned shade = 0; shade < 4; ++shade) {
        unsigned dots = 0;
        for (unsigned y = 0; y < DARKNESS_ROWS; ++y) {
            for (unsigned x = shade * width / 4; x < (shade + 1) * width / 4; ++x)
                dots += Dot(rows, bytesPerRow, x, y);
        }
        EXPECT_DOUBLE_EQ(expected[shade], static_cast<double>(dots) / (width / 4 * DARKNESS_ROWS)) << shade;
    }
}

// Each stored logo printed by its number, and the settings' cut last.
TEST(TestReceipt, PrintsTheStoredLogosAndEndsWithTheCutOfTheSettings)
{
    TestReceiptFacts facts = Facts(576);
    facts.logosKnown = true;
    facts.storedLogos = {{104, 64}, {576, 216}};
    ReceiptSettings settings;
    settings.paperSource = "NoCut";
    const Writes writes = SentBy(settings, [&](ReceiptEngine& e) { e.PrintTestReceipt(facts); });
    const std::string all = Joined(writes);
    EXPECT_NE(std::string::npos, all.find("Logos stored: 2\nLogo 1, 104x64 dots:\n" + Bytes({0x1C, 0x70, 1, 0}) +
                                          "\nLogo 2, 576x216 dots:\n" + Bytes({0x1C, 0x70, 2, 0})));
    ASSERT_LE(3u, writes.size());
    EXPECT_EQ((Writes{Bytes({0x1B, 0x4A, 0x16}), Bytes({0x1B, 0x64, 0x06}), Bytes({0x1B, 0x40})}),
              Writes(writes.end() - 3, writes.end()));
}

}  // namespace

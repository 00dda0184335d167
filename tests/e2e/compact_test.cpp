// Faster printing (FasterPrinting=1, stored with lpadmin -o) through a real
// queue: the same receipt on paper as without it, row for row, on a printer
// that keeps the fractions of its feeds and on one that rounds each feed
// down to whole dots; in fewer bytes, its image bands no wider than their
// ink.
#include "chain_fixture.h"

namespace {

constexpr int PAPER_WIDTH = 576;  // dots; the emulator's notes stand in a margin to the right

struct CompactCase {
    const char* name;
    const char* document;
    std::vector<std::string> lpArguments;
    std::vector<std::string> options;  // lpadmin -o, on both queues
};

void PrintTo(const CompactCase& compact, std::ostream* out)
{
    *out << compact.name;
}

// The least any image of these rows can cost: every row up to its last
// inked byte, blank rows free.
size_t InkFloor(const std::vector<PageImage>& images)
{
    size_t bytes = 0;
    for (const PageImage& image : images) {
        for (unsigned row = 0; row < image.rows; ++row) {
            const std::string data = image.data.substr(row * image.bytesPerRow, image.bytesPerRow);
            bytes += data.find_last_not_of('\0') + 1;
        }
    }
    return bytes;
}

size_t ImageBytes(const std::vector<PageImage>& images)
{
    size_t bytes = 0;
    for (const PageImage& image : images)
        bytes += 8 + image.data.size();
    return bytes;
}

// How many bytes of the image's rows carry ink: up to the rightmost inked byte.
unsigned InkedWidth(const PageImage& image)
{
    unsigned width = 0;
    for (unsigned row = 0; row < image.rows; ++row) {
        const std::string bytes = image.data.substr(row * image.bytesPerRow, image.bytesPerRow);
        width = std::max(width, static_cast<unsigned>(bytes.find_last_not_of('\0') + 1));
    }
    return width;
}

class CompactPrinting : public ChainTest, public ::testing::WithParamInterface<CompactCase> {
protected:
    // Prints the document on a new queue with these options; returns the
    // job's files.
    static std::string PrintWith(const std::vector<std::string>& options)
    {
        const CompactCase& c = GetParam();
        const std::string queue = NetworkQueueWith(options);
        if (queue.empty() || !chain_->Print(queue, SourceFile(c.document), c.lpArguments))
            return "";
        return chain_->NewestNetworkJobFiles();
    }
};

TEST_P(CompactPrinting, SamePaperInFewerBytes)
{
    std::vector<std::string> compactOptions = GetParam().options;
    compactOptions.push_back("FasterPrinting=1");
    const std::string plain = PrintWith(GetParam().options);
    const std::string compact = PrintWith(compactOptions);
    ASSERT_FALSE(plain.empty());
    ASSERT_FALSE(compact.empty());

    const std::string plainBytes = ReadFile(plain + ".bin");
    const std::string compactBytes = ReadFile(compact + ".bin");
    EXPECT_LT(compactBytes.size(), plainBytes.size());
    for (bool wholeDots : {false, true}) {
        EXPECT_EQ(FirstDifferentRow(PaperOf(plainBytes, wholeDots), PaperOf(compactBytes, wholeDots), PAPER_WIDTH), -1)
            << "whole dots " << wholeDots;
    }

    // What the page images cost with faster printing (the bands, the feeds
    // and the motion units; the rest of the job is the same both ways) is
    // within a tenth of the least any image of their rows can cost.
    const Receipt plainReceipt = ReadReceipt(plainBytes);
    const size_t compactImageBytes = compactBytes.size() - (plainBytes.size() - ImageBytes(plainReceipt.images));
    EXPECT_LE(compactImageBytes * 10, InkFloor(plainReceipt.images) * 11);

    const Receipt receipt = ReadReceipt(compactBytes);
    EXPECT_GT(receipt.images.size(), 1u);
    for (const PageImage& band : receipt.images)
        EXPECT_EQ(InkedWidth(band), band.bytesPerRow);
    for (const std::string& word : receipt.outline)
        EXPECT_EQ(std::string::npos, word.find("ERROR")) << word;
}

INSTANTIATE_TEST_SUITE_P(
    Receipts, CompactPrinting,
    ::testing::Values(CompactCase{"SampleReceipt", "samples/receipt.txt", {}, {}},
                      CompactCase{"LongReceipt",
                                  "tests/e2e/data/long-receipt.txt",
                                  {"-o", "PageSize=X80MMY1000MM"},
                                  {}},
                      CompactCase{"WithLogosAndDrawers",
                                  "samples/receipt.txt",
                                  {},
                                  {"LogoPosition=3", "CashDrawer=3", "CashDrawerOpen2=1", "StartDoc=Custom.\\\\x1b\\\\x61\\\\x1"}}),
    [](const ::testing::TestParamInfo<CompactCase>& info) { return info.param.name; });

}  // namespace

// printer-install offers, after a successful set-up, to print the test
// receipt on the new queue: yes sends it through CUPS to the printer as a
// raw job; any other answer sends nothing.
#include "chain_fixture.h"
#include "ppd_writer.h"

namespace {

class InstallerTestReceipt : public ChainTest {};

TEST_F(InstallerTestReceipt, YesPrintsItThroughTheNewQueue)
{
    std::string dialogue;
    const std::string queue = chain_->InstallNetworkQueue("yes\n", &dialogue);
    ASSERT_FALSE(queue.empty());
    EXPECT_NE(std::string::npos,
              dialogue.find("Install Success!.\nPrint a test receipt on " + queue + "? [y/N]: Test receipt sent as job "))
        << dialogue;

    const std::string job = chain_->NewestNetworkJobFiles();
    ASSERT_FALSE(job.empty());
    const Receipt receipt = ReadReceipt(ReadFile(job + ".bin"));
    ASSERT_LE(4u, receipt.outline.size());
    EXPECT_EQ(SET_UP, receipt.outline.front());
    // The cut of the queue's PPD, then ESC @.
    EXPECT_EQ((std::vector<std::string>{FEED_TO_CUTTER, PARTIAL_CUT, INITIALISE}),
              std::vector<std::string>(receipt.outline.end() - 3, receipt.outline.end()));
    // The ruler and the darkness pattern across the 80 mm roll.
    ASSERT_EQ(2u, receipt.images.size());
    EXPECT_EQ(72u, receipt.images[0].bytesPerRow);
    EXPECT_EQ(72u, receipt.images[1].bytesPerRow);
    const std::string listing = ReadFile(job + ".txt");
    const std::vector<std::string> lines = {"TEST RECEIPT",
                                            "Printer: " + queue,
                                            "Model: " + PpdValue(ShippedPpd(), "NickName"),
                                            "Link: Network, 127.0.0.1 port ",
                                            "Status: not asked by the installer",
                                            "  Cut Mode: Partial cut after feeding",
                                            "  Drawer 1 Pulse: 100 ms"};
    for (const std::string& line : lines)
        EXPECT_NE(std::string::npos, listing.find("text \"" + line)) << line << "\n" << listing;
}

TEST_F(InstallerTestReceipt, AnyOtherAnswerSendsNothing)
{
    for (const char* answer : {"n\n", "\n", "print\n"}) {
        std::string dialogue;
        const std::string queue = chain_->InstallNetworkQueue(answer, &dialogue);
        ASSERT_FALSE(queue.empty());
        EXPECT_TRUE(EndsWith(dialogue, "Print a test receipt on " + queue + "? [y/N]: ")) << dialogue;
        const ChildResult jobs = chain_->RunClient({"/usr/bin/lpstat", "-W", "all", "-o", queue});
        EXPECT_EQ("", jobs.out) << answer;
    }
}

}  // namespace

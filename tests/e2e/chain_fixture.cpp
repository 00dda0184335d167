#include "chain_fixture.h"

std::unique_ptr<PrintChain> ChainTest::chain_;
bool ChainTest::started_ = false;

std::vector<std::string> DefaultOutline(int pages, int copies)
{
    std::vector<std::string> outline = {SET_UP};
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = 0; page < pages; ++page)
            outline.insert(outline.end(), {SET_UP, IMAGE, FEED_AFTER_PAGE});
        outline.insert(outline.end(), {FEED_TO_CUTTER, PARTIAL_CUT});
    }
    outline.push_back(INITIALISE);
    return outline;
}

void ChainTest::SetUpTestSuite()
{
    chain_ = std::make_unique<PrintChain>();
    started_ = chain_->Start();
}

void ChainTest::TearDownTestSuite()
{
    chain_.reset();
}

void ChainTest::SetUp()
{
    ASSERT_TRUE(started_) << "the print chain did not start";
}

std::string ChainTest::NetworkQueueWith(const std::vector<std::string>& options)
{
    const std::string queue = chain_->InstallNetworkQueue();
    if (queue.empty() || (!options.empty() && !chain_->SetOptions(queue, options)))
        return "";
    return queue;
}

Receipt ChainTest::PrintOnNetwork(const std::string& queue, const std::string& document,
                                  const std::vector<std::string>& lpArguments)
{
    if (!chain_->Print(queue, document, lpArguments))
        return {};
    return ReadReceipt(chain_->NewestNetworkJob());
}

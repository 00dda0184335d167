// Test fixture: one print chain (cupsd, installed driver, network printer)
// shared by all tests of a suite, and the outline that the PPD's defaults
// give a job.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "print_chain.h"
#include "printer_bytes.h"
#include "receipt.h"

// Commands that the outlines name, as their words.
inline const std::string FEED_AFTER_PAGE = Hex(kFeedAfterPage);
inline const std::string FEED_TO_CUTTER = Hex(kFeedBeforeCut);
inline const std::string PARTIAL_CUT = Hex(kPartialCut);
inline const std::string INITIALISE = Hex(kInitialise);
// The PPD's default pulse is 50.
inline const std::string DRAWER_1 = Hex(DrawerPulse(1, 50));
inline const std::string DRAWER_2 = Hex(DrawerPulse(2, 50));

// Outline of a job of `copies` copies of a document of `pages` pages with
// the PPD's defaults: every page an image, a cut after every copy.
std::vector<std::string> DefaultOutline(int pages, int copies = 1);

class ChainTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // A new queue for the network printer, registered by printer-install's
    // Ethernet set-up, with these options stored as its defaults.
    static std::string NetworkQueueWith(const std::vector<std::string>& options);
    // Prints on the queue and reads back what reached the network printer.
    static Receipt PrintOnNetwork(const std::string& queue, const std::string& document,
                                  const std::vector<std::string>& lpArguments = {});

    static std::unique_ptr<PrintChain> chain_;
    static bool started_;
};

// Test fixture: one print chain (cupsd, installed driver, network printer)
// shared by all tests of a suite, and the outline that the PPD's defaults
// give a job.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "print_chain.h"
#include "receipt.h"

// Commands that the outlines name.
inline const std::string FEED_AFTER_PAGE = "1B 4A 01";  // ESC J 1
inline const std::string FEED_TO_CUTTER = "1B 4A 16";   // ESC J 22, before every cut mode
inline const std::string PARTIAL_CUT = "1D 56 42 00";   // GS V 66 0, the PPD's default cut
inline const std::string INITIALISE = "1B 40";          // ESC @, the job's last command
// ESC p m t t: drawer 1 is m 0x30, drawer 2 m 0x31; the PPD's default pulse is 50.
inline const std::string DRAWER_1 = "1B 70 30 32 32";
inline const std::string DRAWER_2 = "1B 70 31 32 32";

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

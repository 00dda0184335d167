// korla-logos as a shop runs it: images stored in the emulator over the
// network, over a serial line and through a CUPS queue; what FS q cannot
// carry, an unasked store and a second store of the same set refused.
#include <gtest/gtest.h>

#include "app_server.h"
#include "child_process.h"
#include "emulator_jobs.h"
#include "emulator_process.h"
#include "png_files.h"
#include "png_reader.h"
#include "printer_bytes.h"
#include "private_cupsd.h"
#include "temp_dir.h"

namespace {

const std::string DEFINE_ONE_LOGO = "FS q 1 define stored logos, replacing all: 1 40x24 dots";

class LogoTool : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(folder_ / "square.png", BlackPng(40, 20)); }

    ChildResult Run(std::vector<std::string> arguments, const ChildOptions& options = {}) const
    {
        arguments.insert(arguments.begin(), {LOGO_TOOL_PATH, "--dir", folder_ / "record"});
        return RunChild(arguments, options);
    }

    // The emulator as a printer for `jobs` jobs; its outputs out-N.*.
    std::string StartPrinter(const std::vector<std::string>& link, int jobs)
    {
        std::vector<std::string> arguments = {"--jobs", std::to_string(jobs), "--logo-store", folder_ / "memory.bin",
                                              "--raw", folder_ / "out.bin", "--listing", folder_ / "out.txt",
                                              "--png", folder_ / "out.png"};
        arguments.insert(arguments.begin(), link.begin(), link.end());
        printer_ = std::make_unique<EmulatorProcess>(arguments);
        return printer_->readLine();
    }

    std::string Listing(int job) const { return EmulatorJobs(folder_ / "out").Listing(job); }

    TempDir folder_{"korla-logo-tool-"};
    std::unique_ptr<EmulatorProcess> printer_;
};

// Asked first, and with no terminal to ask on nothing is sent; stored with
// --yes; the same set again only with --again. The printer takes two jobs.
TEST_F(LogoTool, StoresOverTheNetworkOnceUnlessAskedAgain)
{
    const std::string port = StartPrinter({"--tcp", "127.0.0.1:0"}, 2);
    ASSERT_FALSE(port.empty());
    const std::string printer = "socket://127.0.0.1:" + port;
    const std::string image = folder_ / "square.png";

    const ChildResult unasked = Run({"-v", printer, image});
    EXPECT_EQ(1, unasked.exitStatus);
    EXPECT_NE(std::string::npos, unasked.out.find("replaces every logo stored in the printer")) << unasked.out;
    EXPECT_NE(std::string::npos, unasked.err.find("add --yes")) << unasked.err;

    const ChildResult stored = Run({"-v", printer, "--yes", image});
    ASSERT_EQ(0, stored.exitStatus) << stored.out << stored.err;
    ASSERT_TRUE(EmulatorJobs(folder_ / "out").Await(1));
    EXPECT_NE(std::string::npos, Listing(1).find("0002 " + DEFINE_ONE_LOGO + "\n")) << Listing(1);
    EXPECT_EQ(std::string::npos, Listing(1).find("ERROR")) << Listing(1);

    const ChildResult twice = Run({"-v", printer, "--yes", image});
    EXPECT_EQ(1, twice.exitStatus);
    EXPECT_NE(std::string::npos, twice.err.find("add --again")) << twice.err;

    const ChildResult again = Run({"-v", printer, "--yes", "--again", image});
    EXPECT_EQ(0, again.exitStatus) << again.err;
    EXPECT_EQ(0, printer_->wait());
    EXPECT_EQ(EmulatorJobs(folder_ / "out").Bytes(1), EmulatorJobs(folder_ / "out").Bytes(2));
}

TEST_F(LogoTool, StoresOverASerialLine)
{
    const std::string link = folder_ / "ttyUSB0";
    ASSERT_FALSE(StartPrinter({"--pty", "--pty-link", link}, 1).empty());
    const ChildResult stored =
        Run({"-v", "serial:" + link + "?baud=9600+bits=8+parity=none+flow=none", "--yes", folder_ / "square.png"});
    ASSERT_EQ(0, stored.exitStatus) << stored.out << stored.err;
    EXPECT_EQ(0, printer_->wait());
    EXPECT_NE(std::string::npos, ReadFile(folder_ / "out.txt").find(DEFINE_ONE_LOGO)) << ReadFile(folder_ / "out.txt");
}

// The queue's backend hands the raw job to the printer as it is.
TEST_F(LogoTool, StoresThroughACupsQueue)
{
    const std::string port = StartPrinter({"--tcp", "127.0.0.1:0"}, 1);
    PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Start());
    ChildOptions client;
    client.environment = cupsd.ClientEnvironment();
    const ChildResult added =
        RunChild({"/usr/sbin/lpadmin", "-p", "till", "-E", "-v", "socket://127.0.0.1:" + port}, client);
    ASSERT_EQ(0, added.exitStatus) << added.err;

    const ChildResult stored = Run({"-q", "till", "--yes", folder_ / "square.png"}, client);
    ASSERT_EQ(0, stored.exitStatus) << stored.out << stored.err;
    EXPECT_EQ(0, printer_->wait()) << ReadFile(cupsd.errorLog());
    const std::string job = ReadFile(folder_ / "out.bin");
    EXPECT_EQ(kInitialise + Bytes({0x1C, 0x71, 0x01, 0x05, 0x00, 0x03, 0x00}), job.substr(0, 9));
    EXPECT_EQ(9u + 40 * 3, job.size());
}

TEST_F(LogoTool, PreviewShowsTheLogosAsTheyWillPrint)
{
    WriteFile(folder_ / "tall.png", BlackPng(40, 30));
    const std::string preview = folder_ / "preview.png";
    const ChildResult run = Run({"--preview", preview, folder_ / "square.png", folder_ / "tall.png"});
    ASSERT_EQ(0, run.exitStatus) << run.err;
    const Picture picture = readPng(preview);
    ASSERT_EQ(576, picture.width);
    ASSERT_EQ(20 + 8 + 30, picture.height);
    EXPECT_EQ(kBlackPixel, picture.at(39, 19));
    EXPECT_EQ(kWhitePixel, picture.at(40, 0));
    EXPECT_NE(kWhitePixel, picture.at(0, 20));  // the band between two logos
    EXPECT_EQ(kBlackPixel, picture.at(0, 28));
    EXPECT_EQ(kBlackPixel, picture.at(39, 57));
}

// FS q carries 2304 dots down at most; nothing is written or sent.
TEST_F(LogoTool, ImageBeyondTheCommandIsRefusedWithItsLimit)
{
    PngSpec tall;
    tall.width = 8;
    tall.height = 2305;
    tall.rows.assign(size_t{8} * 2305, 0);
    WriteFile(folder_ / "tall.png", EncodePng(tall));
    const ChildResult run = Run({"--preview", folder_ / "preview.png", folder_ / "tall.png"});
    EXPECT_EQ(1, run.exitStatus);
    EXPECT_NE(std::string::npos, run.err.find("2305 dots tall: FS q takes at most 2304")) << run.err;
    EXPECT_TRUE(ReadFile(folder_ / "preview.png").empty());
}

}  // namespace

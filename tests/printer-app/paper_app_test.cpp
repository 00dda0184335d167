// The printer's paper, as a shop sees it: a serial printer and a network
// printer, both set up on the web page, report their paper near its end
// and out within a few seconds of the emulator's paper switch, over IPP and
// on the web page; every job asks before its first byte and after its last.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app_server.h"
#include "loopback.h"
#include "printer_bytes.h"
#include "raster_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Link {
    const char* name;
    bool serial;
};

class PrinterAppPaper : public ::testing::TestWithParam<Link> {
protected:
    // The emulator reads the paper state afresh at every request; a rename
    // changes it at once.
    void SetPaper(const std::string& state)
    {
        WriteFile(paperFile_ + ".new", state);
        ASSERT_EQ(0, rename((paperFile_ + ".new").c_str(), paperFile_.c_str()));
    }

    TempDir folder_{"korla-paper-"};
    const std::string paperFile_ = folder_ / "paper";
};

TEST_P(PrinterAppPaper, SwitchShowsInThePrintersStateWithinSeconds)
{
    PrinterSetup setup;
    setup.serial = GetParam().serial;
    setup.addedOnWebPage = true;
    setup.statusInterval = 1;
    setup.emulatorOptions = {"--paper-file", paperFile_};
    SetPaper("ok");
    AppServer server;
    ASSERT_TRUE(server.Start(setup));

    SetPaper("near-end");
    EXPECT_EQ("media-low", AwaitIppAttribute(server, "printer-state-reasons", "media-low"));

    // A job asks on its own link before its first byte and after its last.
    const std::string raster = folder_ / "receipt.pwg";
    WriteRaster(raster, {PageWithBlankTail(72, 40, 10)}, RasterFormat::Pwg);
    const ChildResult printed = server.IppTool(
        IppRequest("Print-Job") + "ATTR mimeMediaType document-format image/pwg-raster\nFILE $filename\nSTATUS successful-ok\n}\n",
        {"filename=" + raster});
    ASSERT_EQ(0, printed.exitStatus) << printed.out << printed.err;
    const AppServer::PrinterJob job = server.NextJob();
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(2, job.statusRequests);
    EXPECT_EQ(kInitialise, job.bytes.substr(job.bytes.size() - 2));

    SetPaper("out");
    EXPECT_EQ("media-empty,media-needed", AwaitIppAttribute(server, "printer-state-reasons", "media-empty,media-needed"));
    EXPECT_NE(std::string::npos, server.WebPage("/" + PRINTER + "/").find("Out of paper"));

    SetPaper("ok");
    EXPECT_EQ("none", AwaitIppAttribute(server, "printer-state-reasons", "none"));
}

INSTANTIATE_TEST_SUITE_P(, PrinterAppPaper, ::testing::Values(Link{"serial", true}, Link{"network", false}),
                         [](const ::testing::TestParamInfo<Link>& info) { return info.param.name; });

// A printer that never answers is shown without paper status and is not
// asked during its jobs, its test receipt's included, so that nothing
// waits for it.
TEST(PrinterAppSilentPrinter, IsShownWithoutStatusAndNotAskedDuringJobs)
{
    SilentPrinter printer;
    PrinterSetup setup;
    setup.deviceUri = printer.Uri();
    setup.statusInterval = 1;
    AppServer server;
    ASSERT_TRUE(server.Start(setup));
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (printer.Connections().empty() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(std::vector<std::string>{PAPER_STATUS_REQUEST}, printer.Connections()) << "the idle check";

    const TempDir folder("korla-silent-");
    WriteRaster(folder / "receipt.pwg", {PageWithBlankTail(72, 40, 10)}, RasterFormat::Pwg);
    const ChildResult printed = server.IppTool(
        IppRequest("Print-Job") + "ATTR mimeMediaType document-format image/pwg-raster\nFILE $filename\nSTATUS successful-ok\n}\n",
        {"filename=" + folder / "receipt.pwg"});
    ASSERT_EQ(0, printed.exitStatus) << printed.out << printed.err;
    while (printer.Connections().size() < 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::vector<std::string> connections = printer.Connections();
    ASSERT_EQ(2u, connections.size());
    EXPECT_EQ(kInitialise, connections[1].substr(0, 2));
    EXPECT_EQ(kInitialise, connections[1].substr(connections[1].size() - 2));
    EXPECT_EQ("none", IppAttribute(server, "printer-state-reasons"));

    // Nor does its test receipt wait for an answer.
    ASSERT_EQ(200, server.PostForm("/receipt", "action=print-test-page"));
    while (printer.Connections().size() < 3 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(3u, printer.Connections().size());
    const std::string receipt = printer.Connections()[2];
    EXPECT_EQ(kInitialise, receipt.substr(0, 2));
    EXPECT_NE(std::string::npos, receipt.find("Status: no answer\n"));
}

}  // namespace

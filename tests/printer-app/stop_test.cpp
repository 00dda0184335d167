// Stopping the server, by SIGTERM, the shutdown sub-command or a crash,
// never costs a receipt nor leaves the printer in the middle of a command:
// a stop takes seconds whatever the jobs are doing, the job cut off ends
// cleanly at the printer and prints again after the restart, and after a
// kill the next server first finishes the image the printer was taking.
#include <signal.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app_server.h"
#include "printer_bytes.h"
#include "raster_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double STOP_SECONDS = 10;
const std::string PARTIAL_CUT = Hex(kPartialCut);

// Asks the server to stop in one of the ways it may be asked.
struct StopRequest {
    const char* name;
    void (*send)(AppServer& server);
};

const StopRequest STOP_REQUESTS[] = {
    {"SIGTERM", [](AppServer& server) { kill(server.pid(), SIGTERM); }},
    {"shutdown", [](AppServer& server) { server.Run({"shutdown"}); }},
};

// The job's line of the jobs sub-command, "" when it is not listed.
std::string JobLine(const AppServer& server, const std::string& job)
{
    std::istringstream jobs(server.Run({"jobs", "-d", PRINTER}).out);
    for (std::string line; std::getline(jobs, line);) {
        if (line.rfind(job + " ", 0) == 0)
            return line;
    }
    return "";
}

// A printer that cannot be reached keeps a job waiting: the stop does not
// wait for it, and the job is still there to print after the restart.
TEST(PrinterAppStop, StopsInSecondsWhileAJobWaitsForThePrinter)
{
    for (const StopRequest& request : STOP_REQUESTS) {
        AppServer server;
        PrinterSetup setup;
        setup.deviceUri = "socket://127.0.0.1:" + std::to_string(FreeLoopbackPort());
        setup.statusInterval = 0;
        ASSERT_TRUE(server.Start(setup));
        const TempDir documents("korla-stop-");
        WriteRaster(documents / "receipt.pwg", {PageWithBlankTail(72, 60, 10)}, RasterFormat::Pwg);
        ASSERT_EQ(0, server.PrintRaster(documents / "receipt.pwg").exitStatus);
        const std::string job = server.ProcessingJob();
        ASSERT_NE("0", job);

        request.send(server);
        const double seconds = server.WaitForExit(STOP_SECONDS);
        EXPECT_LE(0, seconds) << request.name << ": still running after " << STOP_SECONDS << " s";

        ASSERT_TRUE(server.StartServer()) << request.name;
        const std::string line = JobLine(server, job);
        EXPECT_TRUE(line.find("pending") != std::string::npos || line.find("processing") != std::string::npos)
            << request.name << ": " << line;
    }
}

// Whether a state file's text holds the job.
bool ListsJob(const std::string& state, const std::string& job)
{
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Job ", 0) == 0 && line.find(" id=\"" + job + "\"") != std::string::npos)
            return true;
    }
    return false;
}

// Waits up to 5 s for the server's state file to hold the job.
bool WaitUntilSaved(const AppServer& server, const std::string& job)
{
    const std::string state = server.folder() + "/korla-printer-app.state";
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); !ListsJob(ReadFile(state), job);) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The rows of the first image in the bytes, and how many the image
// command announced.
struct ImageRows {
    size_t announced = 0;
    std::string rows;
};

ImageRows FirstImage(const std::string& bytes)
{
    const size_t at = bytes.find(kImageCommandStart);
    if (at == std::string::npos || at + 8 > bytes.size())
        return {};
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    ImageRows image;
    image.announced = static_cast<size_t>(byte(4) | byte(5) << 8) * (byte(6) | byte(7) << 8);
    image.rows = bytes.substr(at + 8, image.announced);
    return image;
}

class PrinterAppStopSerial : public ::testing::Test {
protected:
    // A serial printer taking 5 kB a second: the long receipt's one image
    // (21.6 kB) is on the line for seconds, more than its buffers hold, and
    // the printer is still reading a job's end when the server is done with
    // it.
    void SetUp() override
    {
        PrinterSetup setup;
        setup.serial = true;
        setup.emulatorOptions = {"--bytes-per-second", "5000"};
        ASSERT_TRUE(server_.Start(setup));
        WriteRaster(shortReceipt_, {PageWithBlankTail(72, 60, 10)}, RasterFormat::Pwg);
        WriteRaster(longReceipt_, {PageWithBlankTail(72, LONG_ROWS, 10)}, RasterFormat::Pwg);
        ASSERT_EQ(0, server_.PrintRaster(shortReceipt_).exitStatus);
        alone_ = server_.NextJob();
        ASSERT_TRUE(alone_.arrived);
    }

    // The long receipt, one image for the whole of it, on its way.
    std::string PrintLongReceipt()
    {
        printing_ = std::thread(
            [this] { server_.PrintRaster(longReceipt_, "ATTR keyword korla-faster-printing 0"); });
        const std::string job = server_.ProcessingJob();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return job;
    }

    void TearDown() override
    {
        if (printing_.joinable())
            printing_.join();
    }

    static constexpr unsigned LONG_ROWS = 300;
    AppServer server_;
    const TempDir documents_{"korla-stop-"};
    const std::string shortReceipt_ = documents_ / "short.pwg";
    const std::string longReceipt_ = documents_ / "long.pwg";
    AppServer::PrinterJob alone_;
    std::thread printing_;
};

// Cut off by the stop, the receipt's image is completed with blank rows
// and ESC @ ends it, as a cancel does; after the restart the receipt
// prints whole, and the next one exactly as it would alone.
TEST_F(PrinterAppStopSerial, JobCutOffByTheStopEndsCleanlyAndPrintsAgain)
{
    PrintLongReceipt();
    kill(server_.pid(), SIGTERM);
    EXPECT_LE(0, server_.WaitForExit(STOP_SECONDS)) << "still running after " << STOP_SECONDS << " s";
    const AppServer::PrinterJob cut = server_.NextJob();
    ASSERT_TRUE(cut.arrived);
    EXPECT_EQ(0, CountWords(cut.receipt.outline, PARTIAL_CUT)) << "not cut off:\n" << cut.listing;
    const ImageRows image = FirstImage(cut.bytes);
    EXPECT_EQ(72u * LONG_ROWS, image.announced);
    ASSERT_EQ(image.announced, image.rows.size()) << cut.listing;
    EXPECT_EQ(BlankRow(72), image.rows.substr(image.rows.size() - 72));
    EXPECT_EQ(kInitialise, cut.bytes.substr(cut.bytes.size() - 2));

    ASSERT_TRUE(server_.StartServer());
    const AppServer::PrinterJob again = server_.NextJob();
    ASSERT_TRUE(again.arrived);
    EXPECT_EQ(1, CountWords(again.receipt.outline, PARTIAL_CUT)) << again.listing;
    EXPECT_EQ(72u * LONG_ROWS, FirstImage(again.bytes).rows.size());
    ASSERT_EQ(0, server_.PrintRaster(shortReceipt_).exitStatus);
    const AppServer::PrinterJob next = server_.NextJob();
    EXPECT_EQ(alone_.bytes, next.bytes);
    EXPECT_EQ(std::string::npos, next.listing.find("carried over")) << next.listing;
}

// Killed inside an image, the server leaves the printer taking bytes as
// rows. The next server sends it the rest of the image as blank rows and
// ESC @ before anything else; the receipt prints again whole, and the next
// one exactly as it would alone.
TEST_F(PrinterAppStopSerial, AfterAKillTheNextServerFinishesTheImageFirst)
{
    const std::string job = PrintLongReceipt();
    // The job is in the state file, so that the next server prints it.
    ASSERT_TRUE(WaitUntilSaved(server_, job)) << "the job was never saved";
    server_.Kill();
    const AppServer::PrinterJob killed = server_.NextJob();
    ASSERT_TRUE(killed.arrived);
    const ImageRows cut = FirstImage(killed.bytes);
    ASSERT_EQ(72u * LONG_ROWS, cut.announced);
    ASSERT_LT(cut.rows.size(), cut.announced) << "the kill came after the image";
    const size_t owed = cut.announced - cut.rows.size();

    ASSERT_TRUE(server_.StartServer());
    const AppServer::PrinterJob first = server_.NextJob();
    ASSERT_TRUE(first.arrived);
    // What the server was unsure of (the slice on its way when it was
    // killed) goes out as NUL bytes too, which the printer passes over.
    const size_t blank = first.bytes.find_first_not_of('\0');
    ASSERT_NE(std::string::npos, blank);
    EXPECT_LE(owed, blank);
    EXPECT_EQ(kInitialise, first.bytes.substr(blank, 2));
    const std::string log = ReadFile(server_.folder() + "/korla-printer-app.log");
    EXPECT_TRUE(std::regex_search(log, std::regex("sent its last [0-9]+ bytes as blank rows")));
    EXPECT_EQ(1, CountWords(first.receipt.outline, PARTIAL_CUT)) << first.listing;
    EXPECT_EQ(std::string::npos, first.listing.find("held over")) << first.listing;

    ASSERT_EQ(0, server_.PrintRaster(shortReceipt_).exitStatus);
    const AppServer::PrinterJob next = server_.NextJob();
    EXPECT_EQ(alone_.bytes, next.bytes);
    EXPECT_EQ(std::string::npos, next.listing.find("carried over")) << next.listing;
}

// The state is saved when a job is created, before its document arrives.
// Killed while the job prints, the server must have saved it again with
// its document: the next server prints it whole.
TEST_F(PrinterAppStopSerial, JobWhoseDocumentCameLaterPrintsAfterAKill)
{
    const ChildResult created = server_.IppTool(IppRequest("Create-Job") + "EXPECT job-id\n"
                                                "STATUS successful-ok\n}\n");
    ASSERT_EQ(0, created.exitStatus) << created.out << created.err;
    const size_t at = created.out.find("job-id (integer) = ");
    ASSERT_NE(std::string::npos, at) << created.out;
    const std::string job = std::to_string(atoi(created.out.c_str() + at + 19));
    ASSERT_TRUE(WaitUntilSaved(server_, job)) << "the job was never saved";
    const ChildResult sent = server_.IppTool(IppRequest("Send-Document") + "ATTR integer job-id " + job +
                                                 "\nATTR boolean last-document true\n"
                                                 "ATTR mimeMediaType document-format image/pwg-raster\n"
                                                 "GROUP job-attributes-tag\nATTR keyword korla-faster-printing 0\n"
                                                 "FILE $filename\nSTATUS successful-ok\n}\n",
                                             {"filename=" + longReceipt_});
    ASSERT_EQ(0, sent.exitStatus) << sent.out << sent.err;
    ASSERT_EQ(job, server_.ProcessingJob());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the state's saves come within a second
    server_.Kill();
    ASSERT_TRUE(server_.NextJob().arrived);

    ASSERT_TRUE(server_.StartServer());
    const AppServer::PrinterJob again = server_.NextJob();
    ASSERT_TRUE(again.arrived);
    EXPECT_EQ(1, CountWords(again.receipt.outline, PARTIAL_CUT)) << again.listing;
    EXPECT_EQ(72u * LONG_ROWS, FirstImage(again.bytes).rows.size());
}

}  // namespace

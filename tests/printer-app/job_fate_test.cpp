// What becomes of a job, told truly: one that finds the paper out waits,
// stopped, and prints when paper is back; one whose printer goes away in
// the middle ends as not completed and says how far it got; a document
// nothing here can print is refused when it is sent; a raster document cut
// short is aborted before any byte of it is sent.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app_server.h"
#include "raster_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Prints without waiting for the printer; the job's id is job 1's, 2's...
ChildResult Print(const AppServer& server, const std::string& format, const std::string& file,
                  const std::string& expectedStatus = "successful-ok")
{
    return server.IppTool(IppRequest("Print-Job") + "ATTR mimeMediaType document-format " + format +
                              "\nGROUP job-attributes-tag\nATTR keyword korla-faster-printing 0\nFILE " + file +
                              "\nSTATUS " + expectedStatus + "\n}\n");
}

// One attribute of a job or of the printer, as ipptool shows its value.
std::string Attribute(const AppServer& server, const std::string& operation, const std::string& name,
                      int jobId = 0)
{
    const std::string job = jobId > 0 ? "ATTR integer job-id " + std::to_string(jobId) + "\n" : "";
    const ChildResult run = server.IppTool(IppRequest(operation) + job + "ATTR keyword requested-attributes " + name +
                                           "\nSTATUS successful-ok\n}\n");
    const std::string mark = "        " + name + " (";
    const size_t start = run.out.find(mark);
    if (start == std::string::npos)
        return "";
    const size_t value = run.out.find(" = ", start) + 3;
    return run.out.substr(value, run.out.find('\n', value) - value);
}

std::string JobAttribute(const AppServer& server, int jobId, const std::string& name)
{
    return Attribute(server, "Get-Job-Attributes", name, jobId);
}

// Waits, 20 s at most, for a job attribute to take the value.
std::string AwaitJob(const AppServer& server, int jobId, const std::string& name, const std::string& value)
{
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    std::string now = JobAttribute(server, jobId, name);
    while (now != value && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        now = JobAttribute(server, jobId, name);
    }
    return now;
}

// The printer's bytes less the paper checks the server makes of its own.
std::string JobBytes(std::string bytes)
{
    for (size_t at = bytes.find(PAPER_STATUS_REQUEST); at != std::string::npos; at = bytes.find(PAPER_STATUS_REQUEST))
        bytes.erase(at, PAPER_STATUS_REQUEST.size());
    return bytes;
}

class PrinterAppJobFate : public ::testing::Test {
protected:
    void SetPaper(const std::string& state)
    {
        WriteFile(paperFile_ + ".new", state);
        ASSERT_EQ(0, rename((paperFile_ + ".new").c_str(), paperFile_.c_str()));
    }

    TempDir folder_{"korla-fate-"};
    const std::string paperFile_ = folder_ / "paper";
    AppServer server_;
};

TEST_F(PrinterAppJobFate, PaperOutHoldsTheJobStoppedUntilPaperIsBack)
{
    PrinterSetup setup;
    setup.statusInterval = 1;
    setup.emulatorOptions = {"--paper-file", paperFile_};
    SetPaper("out");
    ASSERT_TRUE(server_.Start(setup));
    const std::string receipt = folder_ / "receipt.pwg";
    WriteRaster(receipt, {PageWithBlankTail(72, 40, 10)}, RasterFormat::Pwg);
    // The printer is known to answer, and to have no paper.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Attribute(server_, "Get-Printer-Attributes", "printer-state-reasons") != "media-empty,media-needed" &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    ASSERT_EQ(0, Print(server_, "image/pwg-raster", receipt).exitStatus);
    EXPECT_EQ("processing-stopped", AwaitJob(server_, 1, "job-state", "processing-stopped"));
    EXPECT_EQ("stopped", Attribute(server_, "Get-Printer-Attributes", "printer-state"));
    EXPECT_NE(std::string::npos, JobAttribute(server_, 1, "job-state-message").find("Waiting for paper"));

    SetPaper("ok");
    const AppServer::PrinterJob job = server_.NextJob();
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(1, CountWords(job.receipt.outline, IMAGE)) << job.listing;
    EXPECT_EQ("completed", AwaitJob(server_, 1, "job-state", "completed"));
}

struct BrokenLink {
    const char* name;
    bool serial;
};

class PrinterAppJobFateLink : public PrinterAppJobFate, public ::testing::WithParamInterface<BrokenLink> {};

// The printer takes a long receipt slowly; it goes away in the middle.
TEST_P(PrinterAppJobFateLink, PrinterGoneMidJobEndsItNotCompletedWithHowFarItGot)
{
    PrinterSetup setup;
    setup.serial = GetParam().serial;
    setup.emulatorOptions = {"--bytes-per-second", "20000"};
    ASSERT_TRUE(server_.Start(setup));
    const std::string receipt = folder_ / "long.pwg";
    // More than the link's buffers hold, so that the printer goes while
    // the server still has most of it to send.
    const RasterPage page = PageWithBlankTail(72, 1500, 10);
    WriteRaster(receipt, {page, page, page, page}, RasterFormat::Pwg);

    ASSERT_EQ(0, Print(server_, "image/pwg-raster", receipt).exitStatus);
    ASSERT_EQ("processing", AwaitJob(server_, 1, "job-state", "processing"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    server_.RemovePrinter();

    EXPECT_EQ("aborted", AwaitJob(server_, 1, "job-state", "aborted"))
        << ReadFile(server_.folder() + "/korla-printer-app.log");
    const std::string message = JobAttribute(server_, 1, "job-state-message");
    unsigned took = 0, sent = 0;
    ASSERT_EQ(2, sscanf(message.c_str(), "Not completed: the link to the printer broke; it took %u of the %u bytes",
                        &took, &sent))
        << message;
    EXPECT_LT(took, sent);
}

INSTANTIATE_TEST_SUITE_P(, PrinterAppJobFateLink, ::testing::Values(BrokenLink{"serial", true}, BrokenLink{"network", false}),
                         [](const ::testing::TestParamInfo<BrokenLink>& info) { return info.param.name; });

TEST_F(PrinterAppJobFate, DocumentNothingCanPrintIsRefusedWhenSent)
{
    ASSERT_TRUE(server_.Start());
    const std::string pdf = std::string(PROJECT_SOURCE_DIR) + "/tests/e2e/data/receipt.pdf";
    EXPECT_EQ(0, Print(server_, "application/pdf", pdf, "client-error-document-format-not-supported").exitStatus);
    EXPECT_EQ(0, Print(server_, "application/octet-stream", pdf, "client-error-document-format-not-supported")
                     .exitStatus);
    const std::string text = folder_ / "receipt.txt";
    WriteFile(text, "TOTAL 12.50\n");
    EXPECT_NE(0, server_.Run({"submit", "-d", PRINTER, text}).exitStatus);
    EXPECT_EQ("", JobBytes(server_.StopAndCollectBytes()));
}

TEST_F(PrinterAppJobFate, RasterDocumentCutShortIsAbortedBeforeAnyByte)
{
    ASSERT_TRUE(server_.Start());
    const std::string receipt = folder_ / "cut.pwg";
    WriteRaster(receipt, {PageWithBlankTail(72, 200, 10)}, RasterFormat::Pwg);
    ASSERT_EQ(0, truncate(receipt.c_str(), 2000));

    ASSERT_EQ(0, Print(server_, "image/pwg-raster", receipt).exitStatus);
    EXPECT_EQ("aborted", AwaitJob(server_, 1, "job-state", "aborted"));
    EXPECT_NE(std::string::npos, JobAttribute(server_, 1, "job-state-message").find("ends inside page 1"));
    EXPECT_EQ("", JobBytes(server_.StopAndCollectBytes()));
}

}  // namespace

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

// Prints without waiting for the printer; the job's id is job 1's, 2's...
ChildResult Print(const AppServer& server, const std::string& format, const std::string& file,
                  const std::string& expectedStatus = "successful-ok")
{
    return server.IppTool(IppRequest("Print-Job") + "ATTR mimeMediaType document-format " + format +
                              "\nGROUP job-attributes-tag\nATTR keyword korla-faster-printing 0\nFILE " + file +
                              "\nSTATUS " + expectedStatus + "\n}\n");
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
    AwaitIppAttribute(server_, "printer-state-reasons", "media-empty,media-needed");

    ASSERT_EQ(0, Print(server_, "image/pwg-raster", receipt).exitStatus);
    EXPECT_EQ("processing-stopped", AwaitIppAttribute(server_, "job-state", "processing-stopped", 1));
    EXPECT_EQ("stopped", IppAttribute(server_, "printer-state"));
    EXPECT_NE(std::string::npos, IppAttribute(server_, "job-state-message", 1).find("Waiting for paper"));

    SetPaper("ok");
    const AppServer::PrinterJob job = server_.NextJob();
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(1, CountWords(job.receipt.outline, IMAGE)) << job.listing;
    EXPECT_EQ("completed", AwaitIppAttribute(server_, "job-state", "completed", 1));
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
    ASSERT_EQ("processing", AwaitIppAttribute(server_, "job-state", "processing", 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    server_.RemovePrinter();

    EXPECT_EQ("aborted", AwaitIppAttribute(server_, "job-state", "aborted", 1))
        << ReadFile(server_.folder() + "/korla-printer-app.log");
    const std::string message = IppAttribute(server_, "job-state-message", 1);
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
    EXPECT_EQ("aborted", AwaitIppAttribute(server_, "job-state", "aborted", 1));
    EXPECT_NE(std::string::npos, IppAttribute(server_, "job-state-message", 1).find("ends inside page 1"));
    EXPECT_EQ("", JobBytes(server_.StopAndCollectBytes()));
}

}  // namespace

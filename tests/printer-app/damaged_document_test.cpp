// A damaged image sent to the printer application ends its job, aborted
// with a reason, before any byte of it reaches the printer; the next job
// prints as if it had never come.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"
#include "test_pictures.h"

namespace {

const std::string PRINT_JOB =
    IppRequest("Print-Job") + "ATTR mimeMediaType document-format $format\nFILE $filename\nSTATUS successful-ok\n}\n";

// Prints the document, then asks for the job's state until it has ended,
// at most 10 s (100 times, 0.1 s apart), and expects it aborted with the
// message.
std::string AbortedJobTest(const std::string& message)
{
    const std::string jobState = IppRequest("Get-Job-Attributes") + "ATTR integer job-id $job-id\nSTATUS successful-ok\n";
    return PRINT_JOB + jobState + "DELAY \"0,0.1\"\nEXPECT job-state WITH-VALUE >6 REPEAT-NO-MATCH\nREPEAT-LIMIT 100\n}\n" +
           jobState +
           "EXPECT job-state WITH-VALUE 8\nEXPECT job-state-reasons WITH-VALUE document-format-error\n"
           "EXPECT job-state-message WITH-VALUE \"/" +
           message + "/\"\n}\n";
}

struct DamagedDocument {
    const char* name;
    std::string format;
    std::string content;
    std::string message;  // a regular expression the job-state-message matches
};

class PrinterAppDamagedDocuments : public ::testing::TestWithParam<DamagedDocument> {
protected:
    static void SetUpTestSuite()
    {
        server_ = std::make_unique<AppServer>();
        documents_ = std::make_unique<TempDir>("korla-app-damaged-");
        WriteFile(Document("bar.png"), BarPng(576, 200));
        started_ = server_->Start();
        if (started_)
            goodBytes_ = PrintBar();
    }
    static void TearDownTestSuite()
    {
        server_.reset();
        documents_.reset();
    }
    void SetUp() override
    {
        ASSERT_TRUE(started_ && !goodBytes_.empty());
        ASSERT_TRUE(printerFree_) << "the printer is still taken by an earlier damaged document";
    }

    static std::string Document(const std::string& name) { return *documents_ / name; }

    static std::string PrintBar()
    {
        const ChildResult run = server_->IppTool(PRINT_JOB, {"format=image/png", "filename=" + Document("bar.png")});
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        const AppServer::PrinterJob job = server_->NextJob();
        EXPECT_TRUE(job.arrived);
        return job.bytes;
    }

    static std::unique_ptr<AppServer> server_;
    static std::unique_ptr<TempDir> documents_;
    static std::string goodBytes_;  // the bar as it prints before any damaged document
    static bool started_;
    static bool printerFree_;
};

std::unique_ptr<AppServer> PrinterAppDamagedDocuments::server_;
std::unique_ptr<TempDir> PrinterAppDamagedDocuments::documents_;
std::string PrinterAppDamagedDocuments::goodBytes_;
bool PrinterAppDamagedDocuments::started_ = false;
bool PrinterAppDamagedDocuments::printerFree_ = true;

// The document is aborted with the message; it leaves nothing on the paper
// and the next job is the same as ever.
TEST_P(PrinterAppDamagedDocuments, EndsItsJobAndLeavesTheNextExact)
{
    const std::string file = Document("damaged");
    WriteFile(file, GetParam().content);
    const ChildResult run =
        server_->IppTool(AbortedJobTest(GetParam().message), {"format=" + GetParam().format, "filename=" + file});
    // A job that never ends keeps the printer from every job after it.
    printerFree_ = run.exitStatus == 0;
    ASSERT_TRUE(printerFree_) << run.out << run.err;
    const AppServer::PrinterJob damaged = server_->NextJob();
    EXPECT_TRUE(damaged.arrived);
    EXPECT_EQ("", damaged.bytes) << damaged.listing;
    EXPECT_EQ(goodBytes_, PrintBar());
}

const std::string PNG_MESSAGE = "Not printed: the PNG image cannot be read";
const std::string JPEG_MESSAGE = "Not printed: the JPEG image cannot be read";
const std::string BAR = BarPng(576, 200);
const std::string RECEIPT_JPEG = GreyJpeg(GreyReceipt(576, 64));

INSTANTIATE_TEST_SUITE_P(
    Kinds, PrinterAppDamagedDocuments,
    ::testing::Values(
        DamagedDocument{"PngThatIsNotOne", "image/png", std::string(3000, 'x'), PNG_MESSAGE + ": Not a PNG file"},
        DamagedDocument{"TruncatedPng", "image/png", BAR.substr(0, BAR.size() / 2), PNG_MESSAGE},
        DamagedDocument{"PngWithACorruptChunk", "image/png", WithChangedChunkByte(BAR, "IDAT"),
                        PNG_MESSAGE + ": IDAT: CRC error"},
        DamagedDocument{"JpegThatIsNotOne", "image/jpeg", std::string(3000, 'x'), JPEG_MESSAGE + ": Not a JPEG file"},
        DamagedDocument{"TruncatedJpeg", "image/jpeg", RECEIPT_JPEG.substr(0, RECEIPT_JPEG.size() / 2),
                        JPEG_MESSAGE + ": Premature end of JPEG file"}),
    [](const auto& info) { return info.param.name; });

}  // namespace

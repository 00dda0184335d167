// A job that CUPS cancels (SIGTERM) while the filter writes: the command
// being written is finished (the rest of an image as blank rows), the
// printer is reset, nothing else follows, and the filter ends.
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "printer_bytes.h"
#include "filter_runner.h"
#include "ppd_writer.h"
#include "raster_writer.h"
#include "temp_dir.h"

namespace {

// Reads from fd until at least `count` bytes have come, or to the end when
// count is 0.
std::string ReadFrom(int fd, size_t count = 0)
{
    std::string bytes;
    char buffer[4096];
    ssize_t got;
    while ((count == 0 || bytes.size() < count) && (got = read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(got));
    return bytes;
}

class CancelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WritePpd(dir / "queue.ppd", {{"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}});
        ASSERT_EQ(pipe(printer), 0);
    }
    void TearDown() override
    {
        close(printer[0]);
    }

    // Starts the filter with the printer end of a pipe as its output.
    pid_t Start(const FilterInvocation& invocation)
    {
        const pid_t pid = StartFilter(invocation, printer[1], dir / "stderr");
        close(printer[1]);
        return pid;
    }

    TempDir dir;
    int printer[2] = {-1, -1};
};

TEST_F(CancelTest, AnImageCutShortIsCompletedWithBlankRowsThenThePrinterIsReset)
{
    // 20,000 rows of ink, far more than the pipe holds: the filter is still
    // writing the image when the signal comes.
    const RasterPage page = PageWithBlankTail(72, 20000, 0);
    WriteRaster(dir / "job.ras", {page}, true);
    const pid_t pid = Start({JobArgs(1, dir / "job.ras"), dir / "queue.ppd", ""});

    const std::string before = ReadFrom(printer[0], 100000);
    kill(pid, SIGTERM);
    const std::string printed = before + ReadFrom(printer[0]);
    EXPECT_EQ(WaitForExit(pid), 0);

    // Set-up twice, then the image command and exactly the rows it
    // announced, ESC @, and nothing more: no feed, no cut.
    const std::string head = Joined(SetUpWrites()) + Joined(SetUpWrites()) + ImageCommand(72, 20000);
    const size_t imageBytes = 72u * 20000u;
    ASSERT_EQ(printed.size(), head.size() + imageBytes + kInitialise.size());
    EXPECT_EQ(printed.substr(0, head.size()), head);
    EXPECT_EQ(printed.substr(head.size() + imageBytes), kInitialise);

    // What was sent of the image is the page's own rows; the rest is blank.
    const std::string image = printed.substr(head.size(), imageBytes);
    const std::string expectedImage = TrimmedImage(page);
    const size_t blankFrom = image.find_last_not_of('\0') + 1;
    EXPECT_LT(blankFrom, imageBytes);
    EXPECT_EQ(image.substr(0, blankFrom), expectedImage.substr(0, blankFrom));
}

// With faster printing a cancel costs at most the band being written: its
// rest goes out as blank rows, then ESC @; no later feed or band follows.
TEST_F(CancelTest, WithFasterPrintingACancelCostsAtMostTheCurrentBand)
{
    WritePpd(dir / "faster.ppd", {{"FasterPrinting", "1"}, {"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}});
    RasterPage page = PageWithBlankTail(72, 0, 10);
    for (unsigned band = 0; band < 2; ++band) {
        for (unsigned i = 0; i < 20000; ++i)
            page.rows.push_back(InkRow(72, i));
        page.rows.insert(page.rows.end(), 100, BlankRow(72));
    }
    WriteRaster(dir / "job.ras", {page}, true);
    const pid_t pid = Start({JobArgs(1, dir / "job.ras"), dir / "faster.ppd", ""});

    const std::string before = ReadFrom(printer[0], 100000);
    kill(pid, SIGTERM);
    const std::string printed = before + ReadFrom(printer[0]);
    EXPECT_EQ(WaitForExit(pid), 0);

    // Set-up twice, left alignment, the feed over the top rows in the unit of
    // a dot row, the first band whole, ESC @.
    const std::string head = Joined(SetUpWrites()) + Joined(SetUpWrites()) + Bytes({0x1B, 0x61, 0x00}) +
                             Bytes({0x1D, 0x50, 0xB4, 0xCB}) + Bytes({0x1B, 0x4A, 10}) + ImageCommand(72, 20000);
    const size_t bandBytes = 72u * 20000u;
    ASSERT_EQ(printed.size(), head.size() + bandBytes + kInitialise.size());
    EXPECT_EQ(Hex(printed.substr(0, head.size())), Hex(head));
    EXPECT_EQ(printed.substr(head.size() + bandBytes), kInitialise);
}

TEST_F(CancelTest, ACancelWhileTheRasterIsStillComingResetsThePrinterAtOnce)
{
    ASSERT_EQ(mkfifo((dir / "raster").c_str(), 0600), 0);
    const pid_t pid = Start({JobArgs(1), dir / "queue.ppd", dir / "raster"});
    // The raster's first bytes come; the rest never does.
    const int raster = open((dir / "raster").c_str(), O_WRONLY);
    ASSERT_GE(raster, 0);
    ASSERT_EQ(write(raster, "RaS2", 4), 4);

    const std::string before = ReadFrom(printer[0], Joined(SetUpWrites()).size());
    kill(pid, SIGTERM);
    const std::string printed = before + ReadFrom(printer[0]);
    EXPECT_EQ(WaitForExit(pid), 0);
    close(raster);
    EXPECT_EQ(Hex(printed), Hex(Joined(SetUpWrites()) + kInitialise));
}

}  // namespace

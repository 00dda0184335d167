// The raster read as it arrives: a page reaches the printer before the next
// page's rows have been read, and a job of any length comes through a pipe
// whole, whether it prints as it is read or must be counted first.
#include <cups/raster.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "printer_bytes.h"
#include "filter_runner.h"
#include "ppd_writer.h"
#include "raster_writer.h"
#include "temp_dir.h"

namespace {

// Reads `count` bytes from fd, waiting at most `seconds` for each piece.
std::string ReadWithin(int fd, size_t count, int seconds)
{
    std::string bytes;
    char buffer[4096];
    pollfd readable = {fd, POLLIN, 0};
    while (bytes.size() < count && poll(&readable, 1, seconds * 1000) == 1) {
        const ssize_t got = read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}

bool WriteAll(int fd, const std::string& bytes)
{
    return write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

// The printer's bytes of a page printed with no finishing options.
std::string PrintedPage(const RasterPage& page)
{
    const std::string image = TrimmedImage(page);
    return ::SetUp() + ImageCommand(page.bytesPerLine, static_cast<unsigned>(image.size() / page.bytesPerLine)) +
           image + kFeedAfterPage;
}

size_t Count(const std::string& text, const std::string& word)
{
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

class StreamTest : public ::testing::Test {
protected:
    TempDir dir;
};

// A job whose copy ends send nothing of their own prints as it is read,
// whatever its copies count: one copy with a cut per copy, or three copies
// cut once at the end of the job.
struct EarlyPageCase {
    const char* name;
    int copies;
    std::vector<PpdOption> ppd;
};

void PrintTo(const EarlyPageCase& c, std::ostream* out)
{
    *out << c.name;
}

class EarlyPageTest : public StreamTest, public ::testing::WithParamInterface<EarlyPageCase> {};

TEST_P(EarlyPageTest, APageReachesThePrinterBeforeTheNextPagesRowsAreRead)
{
    const RasterPage first = PageWithBlankTail(8, 5, 2);
    const RasterPage second = PageWithBlankTail(8, 3, 0);
    WriteRaster(dir / "first.ras", {first}, false);
    WriteRaster(dir / "job.ras", {first, second}, false);
    const std::string raster = ReadFile(dir / "job.ras");
    const size_t secondRows = ReadFile(dir / "first.ras").size() + sizeof(cups_page_header2_t);

    ASSERT_EQ(mkfifo((dir / "raster").c_str(), 0600), 0);
    int printer[2];
    ASSERT_EQ(pipe(printer), 0);
    WritePpd(dir / "queue.ppd", GetParam().ppd);
    const pid_t pid =
        StartFilter({JobArgs(GetParam().copies), dir / "queue.ppd", dir / "raster"}, printer[1], dir / "stderr");
    close(printer[1]);
    const int input = open((dir / "raster").c_str(), O_WRONLY);
    ASSERT_GE(input, 0);

    // The first page and the second page's header: the first page is then
    // known not to be the last, and prints whole.
    ASSERT_TRUE(WriteAll(input, raster.substr(0, secondRows)));
    const std::string firstPage = ::SetUp() + PrintedPage(first);
    EXPECT_EQ(Hex(ReadWithin(printer[0], firstPage.size(), 10)), Hex(firstPage));

    ASSERT_TRUE(WriteAll(input, raster.substr(secondRows)));
    close(input);
    const std::string rest = PrintedPage(second) + kFeedBeforeCut + kPartialCut + kInitialise;
    EXPECT_EQ(Hex(ReadWithin(printer[0], rest.size() + 1, 10)), Hex(rest));
    close(printer[0]);
    EXPECT_EQ(WaitForExit(pid), 0);
}

INSTANTIATE_TEST_SUITE_P(
    CopyEnds, EarlyPageTest,
    ::testing::Values(EarlyPageCase{"OneCopyCutPerCopy", 1, {{"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}}},
                      EarlyPageCase{"ThreeCopiesCutPerJob",
                                    3,
                                    {{"ExecutePaperCut", "0"}, {"PaperSource", "PartialCut"},
                                     {"FireCashDrawer", "1"}, {"CashDrawer", "0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Jobs that once lost pages: the 2,600 pages that a pipe held, and pages of
// one dot whose headers alone filled it. Each case runs through a pipe that
// a child of the test fills as the raster is written; the pages are small,
// so that the jobs stay cheap.
struct LongJobCase {
    const char* name;
    unsigned pages;
    RasterPage page;
    int copies;  // 2, with a cut per copy: counted before it prints
};

void PrintTo(const LongJobCase& c, std::ostream* out)
{
    *out << c.name;
}

class LongJobTest : public StreamTest, public ::testing::WithParamInterface<LongJobCase> {};

TEST_P(LongJobTest, EveryPageArrives)
{
    const LongJobCase& c = GetParam();
    int raster[2];
    ASSERT_EQ(pipe(raster), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        close(raster[0]);
        WriteRaster("/dev/fd/" + std::to_string(raster[1]), std::vector<RasterPage>(c.pages, c.page), false);
        _exit(0);
    }
    close(raster[1]);

    WritePpd(dir / "queue.ppd", {{"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}});
    const int printer = open((dir / "printer").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    FilterInvocation invocation{JobArgs(c.copies), dir / "queue.ppd", "/dev/fd/" + std::to_string(raster[0])};
    const pid_t pid = StartFilter(invocation, printer, dir / "stderr");
    close(printer);
    close(raster[0]);
    EXPECT_EQ(WaitForExit(pid), 0);
    EXPECT_EQ(WaitForExit(writer), 0);

    const std::string cut = kFeedBeforeCut + kPartialCut;
    const std::string page = PrintedPage(c.page);
    std::string expected = ::SetUp();
    for (unsigned i = 1; i <= c.pages; ++i)
        expected += page + (i == c.pages || (c.copies == 2 && i == c.pages / 2) ? cut : "");
    expected += kInitialise;
    const std::string printed = ReadFile(dir / "printer");
    EXPECT_EQ(printed.size(), expected.size());
    EXPECT_TRUE(printed == expected);
    const std::string messages = ReadFile(dir / "stderr");
    EXPECT_EQ(Count(messages, "PAGE: "), c.pages);
    EXPECT_NE(messages.find("PAGE: " + std::to_string(c.pages) + " 1\n"), std::string::npos);
    EXPECT_EQ(messages.find("WARNING"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Pipes, LongJobTest,
    ::testing::Values(LongJobCase{"ManyReceiptPages", 2600, PageWithBlankTail(8, 4, 2), 1},
                      // Some 288 MB of raster, nearly all of it headers; the
                      // copies make it go through the spool file.
                      LongJobCase{"OneDotPagesCounted", 160000, {1, 1, {std::string(1, '\x80')}}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

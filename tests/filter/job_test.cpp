// Whole jobs through the real filter program: command line, input, exit
// status, and the exact byte stream with its write boundaries.
#include <cstring>
#include <cups/raster.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "printer_bytes.h"
#include "filter_runner.h"
#include "ppd_writer.h"
#include "raster_writer.h"
#include "temp_dir.h"

namespace {

// The writes of one page as printed with no logos: set-up, pulses due before
// it, image, feed, then what its copy end brings.
struct PageExtras {
    Writes before;    // after the set-up, before the image
    Writes copyEnd;   // after the feed
};

Writes PageImage(const RasterPage& page)
{
    const std::string image = TrimmedImage(page);
    Writes writes = {ImageCommand(page.bytesPerLine, static_cast<unsigned>(image.size() / page.bytesPerLine))};
    if (!image.empty())
        writes.push_back(image);
    return writes;
}

Writes PrintedPage(const RasterPage& page, const PageExtras& extras)
{
    Writes writes = SetUpWrites();
    Append(writes, extras.before);
    Append(writes, PageImage(page));
    writes.push_back(kFeedAfterPage);
    Append(writes, extras.copyEnd);
    return writes;
}

// What CUPS hears of a job of one copy whose pages all print: the pages are
// not counted before they print.
std::string PageMessages(int pages)
{
    std::string messages;
    for (int page = 1; page <= pages; ++page)
        messages += "INFO: Printing page " + std::to_string(page) + "\nPAGE: " + std::to_string(page) + " 1\n";
    return messages;
}

// The writes of a page whose image is left out: the set-up and the feed.
Writes LeftOutPage()
{
    Writes writes = SetUpWrites();
    writes.push_back(kFeedAfterPage);
    return writes;
}

std::vector<RasterPage> NumberedPages(int count)
{
    std::vector<RasterPage> pages;
    for (int i = 0; i < count; ++i)
        pages.push_back(PageWithBlankTail(8, 3 + i, 2));
    return pages;
}

class JobTest : public ::testing::Test {
protected:
    std::string Raster(const std::vector<RasterPage>& pages)
    {
        WriteRaster((dir / "job.ras"), pages, true);
        return (dir / "job.ras");
    }

    std::string Ppd(const std::vector<PpdOption>& options)
    {
        WritePpd((dir / "queue.ppd"), options);
        return (dir / "queue.ppd");
    }

    TempDir dir;
};

TEST_F(JobTest, WrongArgumentCountsAndUnreadableInputExitWithOneAndPrintNothing)
{
    const std::string raster = Raster(NumberedPages(1));
    const std::vector<std::vector<std::string>> commandLines = {
        {"1", "u", "t", "1"},
        {"1", "u", "t", "1", "", raster, "extra"},
        {},
        {"1", "u", "t", "1", "", (dir / "no-such-file")},
    };
    for (const auto& args : commandLines) {
        const FilterRun run = RunFilter({args, Ppd({}), raster});
        EXPECT_EQ(run.exitStatus, 1) << args.size();
        EXPECT_TRUE(run.writes.empty()) << args.size();
        EXPECT_EQ(run.errorOutput, "");
    }
}

TEST_F(JobTest, ReadsTheRasterFromTheFileOrFromStandardInput)
{
    const std::vector<RasterPage> pages = NumberedPages(2);
    const std::string raster = Raster(pages);
    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(pages[0], {}));
    Append(expected, PrintedPage(pages[1], {}));
    expected.push_back(kInitialise);

    const FilterRun fromFile = RunFilter({JobArgs(1, raster), Ppd({}), ""});
    const FilterRun fromStdin = RunFilter({JobArgs(1), Ppd({}), raster});
    FilterInvocation throughPipe{JobArgs(1), Ppd({}), raster};
    throughPipe.inputThroughPipe = true;
    const FilterRun fromPipe = RunFilter(throughPipe);
    EXPECT_EQ(fromFile.exitStatus, 0);
    EXPECT_EQ(fromFile.writes, expected);
    EXPECT_EQ(fromStdin.exitStatus, 0);
    EXPECT_EQ(fromStdin.writes, expected);
    EXPECT_EQ(fromPipe.exitStatus, 0);
    EXPECT_EQ(fromPipe.writes, expected);
    for (const FilterRun* run : {&fromFile, &fromStdin, &fromPipe})
        EXPECT_EQ(run->errorOutput, PageMessages(2));
}

TEST_F(JobTest, WithoutAReadablePpdOnlyTheSetUpIsSent)
{
    WriteFile(dir / "garbage.ppd", "This is not a PPD file.\n\x01\x02\xff\n");
    // Unset, missing, a directory (unreadable as a file even for root), garbage.
    for (const std::string& ppd : {std::string(), dir / "missing.ppd", dir.path(), dir / "garbage.ppd"}) {
        const FilterRun run = RunFilter({JobArgs(1, Raster(NumberedPages(2))), ppd, ""});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.writes, SetUpWrites());
        EXPECT_EQ(run.errorOutput, "ERROR: Cannot read the queue's PPD file \"" + ppd +
                                       "\"; only the printer set-up was sent.\n");
    }
}

TEST_F(JobTest, InputThatIsNotRasterGetsTheDocumentStartAndEndOnly)
{
    const std::string ppd = Ppd({{"ExecutePaperCut", "0"}, {"PaperSource", "PartialCut"}});
    for (const char* content : {"", "%PDF-1.4 not a raster\n"}) {
        FILE* file = fopen((dir / "input").c_str(), "w");
        fputs(content, file);
        fclose(file);
        Writes expected = SetUpWrites();
        Append(expected, {kFeedBeforeCut, kPartialCut, kInitialise});
        const FilterRun run = RunFilter({JobArgs(1, (dir / "input")), ppd, ""});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.writes, expected) << content;
        EXPECT_EQ(run.errorOutput, "ERROR: The job is not a CUPS raster stream; nothing was printed.\n");
    }
}

TEST_F(JobTest, AReceiptWidePageLosesItsBlankTail)
{
    const FilterRun run = RunFilter({JobArgs(1, Raster({PageWithBlankTail(72, 800, 200)})), Ppd({}), ""});
    // Document set-up, page set-up, image command, image data, feed, ESC @.
    ASSERT_EQ(run.writes.size(), 9u + 9u + 4u);
    EXPECT_EQ(Hex(run.writes[18]), "1D 76 30 00 48 00 20 03");
    EXPECT_EQ(run.writes[19].size(), 57600u);
}

// The stream holds every copy; the copies count tells where each one ends.
struct CopiesCase {
    int pages;
    std::string copies;
    std::vector<bool> endsCopy;
};

class CopiesTest : public JobTest, public ::testing::WithParamInterface<CopiesCase> {};

TEST_P(CopiesTest, CutAndDrawerPulseFollowEachCopyEnd)
{
    const CopiesCase& c = GetParam();
    const std::vector<RasterPage> pages = NumberedPages(c.pages);
    const std::string ppd = Ppd({{"FireCashDrawer", "1"}, {"CashDrawer", "1"}, {"CashDrawerOpen1", "2"},
                                 {"CashDrawer1PulseWidth", "50"}, {"ExecutePaperCut", "1"},
                                 {"PaperSource", "PartialCut"}});
    const std::string pulse = DrawerPulse(1, 50);

    Writes expected = SetUpWrites();
    for (int i = 0; i < c.pages; ++i) {
        PageExtras extras;
        if (c.endsCopy[static_cast<size_t>(i)])
            extras = {{pulse}, {kFeedBeforeCut, kPartialCut, pulse}};
        Append(expected, PrintedPage(pages[static_cast<size_t>(i)], extras));
    }
    expected.push_back(kInitialise);

    // A raster in a file is counted before it prints; one on a pipe is held.
    const FilterRun fromFile = RunFilter({{"7", "u", "t", c.copies, "", Raster(pages)}, ppd, ""});
    EXPECT_EQ(fromFile.exitStatus, 0);
    EXPECT_EQ(fromFile.writes, expected);
    FilterInvocation throughPipe{{"7", "u", "t", c.copies, ""}, ppd, Raster(pages)};
    throughPipe.inputThroughPipe = true;
    EXPECT_EQ(RunFilter(throughPipe).writes, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Copies, CopiesTest,
    ::testing::Values(CopiesCase{6, "3", {false, true, false, true, false, true}},
                      // The last page always ends a copy, even where the
                      // pages do not divide evenly into the copies.
                      CopiesCase{5, "2", {false, true, false, true, true}},
                      CopiesCase{3, "1", {false, false, true}},
                      CopiesCase{2, "3", {false, true}},
                      CopiesCase{2, "-2", {false, true}},
                      CopiesCase{2, "0", {false, true}},
                      CopiesCase{1, "many", {true}},
                      CopiesCase{1, "2", {true}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// A job that must be counted, coming through a pipe, and no folder to spool
// it in: CUPS is told, and nothing of the job prints but its frame.
TEST_F(JobTest, AJobThatCannotBeSpooledSaysSo)
{
    const std::string ppd = Ppd({{"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}});
    FilterInvocation throughPipe{JobArgs(2), ppd, Raster(NumberedPages(2))};
    throughPipe.inputThroughPipe = true;
    const char* tmpdir = getenv("TMPDIR");
    const std::string saved = tmpdir ? tmpdir : "";
    setenv("TMPDIR", (dir / "no-such-folder").c_str(), 1);
    const FilterRun run = RunFilter(throughPipe);
    if (tmpdir)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");

    Writes expected = SetUpWrites();
    expected.push_back(kInitialise);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.writes, expected);
    EXPECT_EQ(run.errorOutput.rfind("ERROR: Cannot spool the job's raster to count its pages (" + dir / "no-such-folder",
                                    0),
              0u)
        << run.errorOutput;
}

TEST_F(JobTest, EveryFinishingOptionInItsPlace)
{
    const std::vector<RasterPage> pages = NumberedPages(2);
    const std::string ppd = Ppd({
        {"FireCashDrawer", "0"}, {"CashDrawer", "3"}, {"CashDrawerOpen1", "0"}, {"CashDrawerOpen2", "1"},
        {"CashDrawer1PulseWidth", "50"}, {"CashDrawer2PulseWidth", "100"},
        {"LogoPosition", "3"},
        {"TopLogoJustification", "1"}, {"TopLogoQuality", "0"}, {"TopLineFeedAfter", "2"},
        {"TopLineFeedb4", "1"}, {"TopLogoImage", "1"},
        {"BtmLogoJustification", "0"}, {"BtmLogoQuality", "1"}, {"BtmLineFeedAfter", "3"},
        {"BtmLineFeedb4", "0"}, {"BtmLogoImage", "2"},
        {"ExecutePaperCut", "0"}, {"PaperSource", "NoCut"},
        {"StartDoc", "Custom.\\x1b\\x40\\x0a", {"None"}}, {"EndDoc", "Custom.\\x1b\\x61\\x1", {"None"}},
    });

    Writes expected = SetUpWrites();
    Append(expected, {Bytes({0x1B, 0x40, 0x0A}), DrawerPulse(1, 50)});
    for (const RasterPage& page : pages) {
        Append(expected, SetUpWrites());
        Append(expected, LogoBlock(1, 1, 1, 0, 2));
        Append(expected, PageImage(page));
        expected.push_back(kFeedAfterPage);
        Append(expected, LogoBlock(0, 0, 2, 1, 3));
    }
    Append(expected, {kFeedBeforeCut, kFeedSixLines, DrawerPulse(2, 100), Bytes({0x1B, 0x61, 0x01}), kInitialise});

    const FilterRun run = RunFilter({JobArgs(1, Raster(pages)), ppd, ""});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.writes, expected);
}

// GS v 0 holds 16-bit sizes: a taller page goes out as consecutive images,
// a wider one is left out while the other pages print.
TEST_F(JobTest, PagesBeyondTheImageCommandsSizes)
{
    RasterPage tall = PageWithBlankTail(1, 70000, 3);
    RasterPage wide = PageWithBlankTail(65536, 1, 0);
    RasterPage plain = PageWithBlankTail(8, 2, 0);
    const std::string tallImage = TrimmedImage(tall);

    Writes expected = SetUpWrites();
    Append(expected, SetUpWrites());
    Append(expected, {ImageCommand(1, 65535), tallImage.substr(0, 65535), ImageCommand(1, 4465),
                      tallImage.substr(65535), kFeedAfterPage});
    Append(expected, SetUpWrites());
    expected.push_back(kFeedAfterPage);
    Append(expected, PrintedPage(plain, {}));
    expected.push_back(kInitialise);

    const FilterRun run = RunFilter({JobArgs(1, Raster({tall, wide, plain})), Ppd({}), ""});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.writes, expected);
}

// A page of more than one bit per pixel would print as other dots than it
// shows: it is left out, and the copy it ends still gets its cut.
TEST_F(JobTest, PagesNotOneBitPerPixelAreLeftOut)
{
    RasterPage grey{8, 8, {InkRow(8, 1), InkRow(8, 2)}};
    grey.bitsPerPixel = 8;
    RasterPage colour{8, 24, {InkRow(24, 1)}};
    colour.bitsPerPixel = 24;
    const RasterPage plain = PageWithBlankTail(8, 2, 0);
    const std::string ppd = Ppd({{"ExecutePaperCut", "1"}, {"PaperSource", "PartialCut"}});

    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(plain, {}));
    Append(expected, SetUpWrites());
    expected.push_back(kFeedAfterPage);
    Append(expected, SetUpWrites());
    Append(expected, {kFeedAfterPage, kFeedBeforeCut, kPartialCut, kInitialise});

    const FilterRun run = RunFilter({JobArgs(1, Raster({plain, grey, colour})), ppd, ""});
    EXPECT_EQ(run.writes, expected);
    EXPECT_EQ(run.errorOutput,
              "INFO: Printing page 1\nPAGE: 1 1\n"
              "INFO: Printing page 2\nWARNING: Page 2 left out: it has 8 bits per pixel, the printer takes 1.\n"
              "INFO: Printing page 3\nWARNING: Page 3 left out: it has 24 bits per pixel, the printer takes 1.\n");
}

// A page that would hold more than the memory budget of a page (against
// raster bombs) is read past and left out; the pages around it print.
TEST_F(JobTest, APageOverTheMemoryBudgetIsLeftOutAndTheOthersPrint)
{
    const RasterPage first = PageWithBlankTail(8, 3, 0);
    const RasterPage inked{1u << 15, 1u << 12, {}, 0, InkRow(1u << 12, 5), 70000};  // 273 MiB of ink
    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(first, {}));
    Append(expected, LeftOutPage());
    Append(expected, PrintedPage(first, {}));
    expected.push_back(kInitialise);
    const FilterRun run = RunFilter({JobArgs(1, Raster({first, inked, first})), Ppd({}), ""});
    EXPECT_EQ(run.writes, expected);
    EXPECT_EQ(run.errorOutput, "INFO: Printing page 1\nPAGE: 1 1\nINFO: Printing page 2\n"
                               "WARNING: Page 2 left out: its rows down to the last ink need more than 256 MiB, the "
                               "most memory one page may take.\nINFO: Printing page 3\nPAGE: 3 1\n");
}

// A header that libcups refuses in the middle of a job. Where the header
// still tells how long its rows are (an uncompressed stream, its sizes
// agreeing), they are stepped over and the pages after it print; otherwise
// nothing after it can be read, and CUPS is told so.
struct DamagedHeaderCase {
    const char* name;
    bool compressed;
    bool wholeHeader;  // every byte of the header damaged, not just its bits per colour
    bool pagesAfterPrint;
};

void PrintTo(const DamagedHeaderCase& c, std::ostream* out)
{
    *out << c.name;
}

class DamagedHeaderTest : public JobTest, public ::testing::WithParamInterface<DamagedHeaderCase> {};

TEST_P(DamagedHeaderTest, LeavesOutItsPageAndSaysWhy)
{
    const DamagedHeaderCase& c = GetParam();
    const std::vector<RasterPage> pages = NumberedPages(3);
    // The second header starts where a stream of the first page alone ends.
    WriteRaster(dir / "first.ras", {pages[0]}, c.compressed);
    const off_t second = static_cast<off_t>(ReadFile(dir / "first.ras").size());
    WriteRaster(dir / "job.ras", pages, c.compressed);
    const int fd = open((dir / "job.ras").c_str(), O_RDWR);
    cups_page_header2_t header;
    ASSERT_EQ(pread(fd, &header, sizeof header, second), static_cast<ssize_t>(sizeof header));
    if (c.wholeHeader)
        memset(&header, 0xFF, sizeof header);
    else
        header.cupsBitsPerColor = 0;
    ASSERT_EQ(pwrite(fd, &header, sizeof header, second), static_cast<ssize_t>(sizeof header));
    close(fd);

    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(pages[0], {}));
    std::string messages = "INFO: Printing page 1\nPAGE: 1 1\n";
    if (c.pagesAfterPrint) {
        Append(expected, LeftOutPage());
        Append(expected, PrintedPage(pages[2], {}));
        messages += "INFO: Printing page 2\nWARNING: Page 2 left out: its header is damaged.\n"
                    "INFO: Printing page 3\nPAGE: 3 1\n";
    } else {
        messages += "WARNING: Page 2 left out: its header is damaged and the raster after it cannot be read, so "
                    "the rest of the job was left out too.\n";
    }
    expected.push_back(kInitialise);
    for (bool throughPipe : {false, true}) {
        FilterInvocation invocation{JobArgs(1), Ppd({}), dir / "job.ras"};
        invocation.inputThroughPipe = throughPipe;
        const FilterRun run = RunFilter(invocation);
        EXPECT_EQ(run.writes, expected) << throughPipe;
        EXPECT_EQ(run.errorOutput, messages) << throughPipe;
    }
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedHeaderTest,
                         ::testing::Values(DamagedHeaderCase{"BitsPerColour", false, false, true},
                                           DamagedHeaderCase{"WholeHeader", false, true, false},
                                           DamagedHeaderCase{"Compressed", true, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobTest, ShippedPpdCutsAfterTheOnlyCopy)
{
    const std::vector<RasterPage> pages = NumberedPages(1);
    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(pages[0], {}));
    Append(expected, {kFeedBeforeCut, kPartialCut, kInitialise});
    const FilterRun run = RunFilter({JobArgs(1, Raster(pages)), SHIPPED_PPD, ""});
    EXPECT_EQ(run.writes, expected);
}

}  // namespace

namespace {

TEST_F(JobTest, WithStandardOutputClosedTheJobStillRunsToItsEnd)
{
    FilterInvocation invocation{JobArgs(1, Raster(NumberedPages(2))), SHIPPED_PPD, ""};
    invocation.stdoutClosed = true;
    const FilterRun run = RunFilter(invocation);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(run.writes.empty());
    EXPECT_EQ(run.errorOutput, PageMessages(2));
}

#if !defined(__SANITIZE_ADDRESS__)
// Memory running out for a page's rows leaves that page out; the pages
// around it print. (The sanitizers need more address space than the limit
// leaves, so this runs in the plain build only.)
TEST_F(JobTest, MemoryRunningOutLeavesThatPageOut)
{
    const RasterPage first = PageWithBlankTail(8, 3, 0);
    RasterPage inked{1u << 15, 1u << 12, {}, 0, InkRow(1u << 12, 3), 50000};  // 195 MiB of ink
    const std::string path = Raster({first, inked, first});
    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(first, {}));
    Append(expected, LeftOutPage());
    Append(expected, PrintedPage(first, {}));
    Append(expected, {kFeedBeforeCut, kPartialCut, kInitialise});
    for (bool throughPipe : {false, true}) {
        FilterInvocation invocation{JobArgs(1), Ppd({{"ExecutePaperCut", "0"}}), path};
        invocation.inputThroughPipe = throughPipe;
        invocation.addressSpaceLimit = size_t{160} << 20;
        const FilterRun run = RunFilter(invocation);
        EXPECT_EQ(run.exitStatus, 0) << throughPipe;
        EXPECT_EQ(run.writes, expected) << throughPipe;
        EXPECT_NE(run.errorOutput.find("WARNING: Page 2 left out: there is not enough memory for its rows.\n"),
                  std::string::npos)
            << run.errorOutput;
    }
}

// A page's blank rows cost no memory: a compressed raster of a few kilobytes
// whose blank pages would take gigabytes prints within 512 MiB, the receipt
// pages around them whole.
TEST_F(JobTest, HugeBlankPagesCostNoMemory)
{
    const RasterPage receipt = PageWithBlankTail(72, 40, 10);
    const RasterPage blank{1u << 15, 1u << 12, {}, 0, BlankRow(1u << 12), 250000};  // 1 GB each
    const std::string path = Raster({receipt, blank, blank, receipt});
    Writes expected = SetUpWrites();
    Append(expected, PrintedPage(receipt, {}));
    for (int i = 0; i < 2; ++i) {
        Append(expected, SetUpWrites());
        Append(expected, {ImageCommand(1u << 12, 0), kFeedAfterPage});
    }
    Append(expected, PrintedPage(receipt, {}));
    expected.push_back(kInitialise);
    for (bool throughPipe : {false, true}) {
        FilterInvocation invocation{JobArgs(1), Ppd({}), path};
        invocation.inputThroughPipe = throughPipe;
        invocation.addressSpaceLimit = size_t{512} << 20;
        const FilterRun run = RunFilter(invocation);
        EXPECT_EQ(run.exitStatus, 0) << throughPipe;
        EXPECT_EQ(run.writes, expected) << throughPipe;
    }
}

// Faster printing takes no second copy of a page: a page of 100 MiB of ink,
// its bands narrower than its rows, prints within an address space that
// could not hold it twice.
TEST_F(JobTest, FasterPrintingNeedsNoSecondCopyOfThePage)
{
    std::string narrowInk = InkRow(1u << 12, 7);
    std::fill(narrowInk.begin() + 4000, narrowInk.end(), '\0');
    const RasterPage inked{1u << 15, 1u << 12, {}, 0, narrowInk, 25600};  // 100 MiB
    FilterInvocation invocation{JobArgs(1, Raster({inked})), Ppd({{"FasterPrinting", "1"}}), ""};
    invocation.addressSpaceLimit = size_t{200} << 20;
    const int printer = open("/dev/null", O_WRONLY);
    const pid_t pid = StartFilter(invocation, printer, dir / "stderr");
    close(printer);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadFile(dir / "stderr"), PageMessages(1));
}
#endif

}  // namespace

namespace {

#if !defined(__SANITIZE_ADDRESS__)
// Memcheck watches the plain build (it cannot run beside the sanitizers).
TEST_F(JobTest, MemcheckFindsNoLeakOrInvalidAccessInAJobWithEveryOption)
{
    if (access("/usr/bin/valgrind", X_OK) != 0)
        GTEST_SKIP() << "valgrind is not installed";
    std::vector<RasterPage> pages = NumberedPages(4);
    pages.push_back(PageWithBlankTail(72, 100, 30));
    FilterInvocation invocation{{"9", "u", "t", "2", "", Raster(pages)}, Ppd(AllOptionsOn()), ""};
    invocation.launcher = {"/usr/bin/valgrind", "--quiet", "--error-exitcode=99", "--leak-check=full",
                           "--show-leak-kinds=definite,indirect,possible", "--errors-for-leak-kinds=definite,indirect,possible"};
    const FilterRun memchecked = RunFilter(invocation);
    const FilterRun plain = RunFilter({invocation.args, invocation.ppd, ""});
    EXPECT_EQ(memchecked.exitStatus, 0) << memchecked.errorOutput;
    EXPECT_EQ(memchecked.errorOutput, plain.errorOutput);  // no report of memcheck's own
    EXPECT_EQ(memchecked.writes, plain.writes);
}
#endif

}  // namespace

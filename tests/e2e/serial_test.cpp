// A queue on the CUPS serial backend: printer-install's serial set-up finds
// the emulator on a pseudo-terminal linked as ttyS0 of a device folder of
// its own, and the serial backend writes the job to that line.
#include "chain_fixture.h"

#include <chrono>
#include <thread>

#include "emulator_jobs.h"
#include "raster_writer.h"
#include "status_byte.h"

namespace {

// DLE EOT 2, the installer's probe.
constexpr auto PROBE = StatusRequest(StatusKind::OffLine);
const std::string STATUS_REQUEST = Hex(std::string(PROBE.begin(), PROBE.end()));

class SerialPrinting : public ChainTest {};

// The long receipt: some 800 kB through the line.
TEST_F(SerialPrinting, LongReceiptReachesThePrinterWhole)
{
    const std::string document = SourceFile("tests/e2e/data/long-receipt.txt");
    const std::vector<std::string> pageSize = {"PageSize=X80MMY1000MM"};
    TempDir devices{"korla-dev-"};
    TempDir output{"korla-serial-"};
    // Two sessions on the line: the installer's probe, then the job.
    EmulatorProcess printer({"--pty", "--pty-link", devices / "ttyS0", "--jobs", "2", "--raw", output / "session.bin",
                             "--png", output / "session.png", "--listing", output / "session.txt"});
    ASSERT_FALSE(printer.readLine().empty()) << "the serial printer did not come up";

    // Serial port, then the default line settings: 115200 baud, hardware flow, 8 bits, no parity.
    const std::string queue = chain_->Install("1\n1\n1\n1\n1\n", {{"PRINTER_INSTALL_DEVDIR", devices.path()}});
    ASSERT_FALSE(queue.empty());
    EXPECT_EQ("serial:" + devices / "ttyS0" + "?baud=115200+bits=8+parity=none+flow=hard",
              chain_->cupsd().Queue(queue).value_or(QueueState{}).deviceUri);
    ASSERT_TRUE(chain_->Print(queue, document, {"-o", pageSize[0]}));
    EXPECT_EQ(0, printer.wait()) << "both sessions decoded cleanly";

    // The probe is sent again when the answer comes later than the installer first looks.
    const EmulatorJobs sessions(output / "session");
    const std::vector<std::string> probe = ReadReceipt(sessions.Bytes(1)).outline;
    EXPECT_FALSE(probe.empty());
    EXPECT_EQ(std::vector<std::string>(probe.size(), STATUS_REQUEST), probe);
    KeepForPeople(sessions.Path(2, ""));
    const Receipt receipt = ReadReceipt(sessions.Bytes(2));
    EXPECT_EQ(DefaultOutline(2), receipt.outline);
    EXPECT_EQ(ImagesOf(ReferencePages(document, pageSize)), receipt.images);
}

// CUPS cancels a job while the slow serial printer still takes its image:
// the filter completes the image with blank rows and resets the printer, so
// that the printer, which keeps its decoding state from one job to the next
// as a real one does, reads the next job exactly as if it were alone.
TEST_F(SerialPrinting, ACancelledJobLeavesTheNextOneExact)
{
    TempDir devices{"korla-dev-"};
    TempDir output{"korla-serial-"};
    // The installer's probe, the cancelled job, the next job; about 8 s for
    // the cancelled job's 720 kB at this speed.
    EmulatorProcess printer({"--pty", "--pty-link", devices / "ttyS0", "--jobs", "3", "--bytes-per-second",
                             "100000", "--raw", output / "session.bin", "--listing", output / "session.txt"});
    ASSERT_FALSE(printer.readLine().empty()) << "the serial printer did not come up";
    const std::string queue = chain_->Install("1\n1\n1\n1\n1\n", {{"PRINTER_INSTALL_DEVDIR", devices.path()}});
    ASSERT_FALSE(queue.empty());

    // A raster goes to the filter at once, without CUPS's other filters.
    const std::string raster = output / "long.ras";
    WriteRaster(raster, {PageWithBlankTail(72, 10000, 0)}, true);
    const int cancelled = chain_->Submit(queue, raster);
    ASSERT_GT(cancelled, 0);
    ASSERT_TRUE(chain_->WaitUntilProcessing(cancelled));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(chain_->Cancel(queue, cancelled));
    // The printer counts a session as ended once every process has closed
    // the line; the next job must not open it before it has noticed.
    const EmulatorJobs sessions(output / "session", ".txt");
    ASSERT_TRUE(sessions.Await(2)) << "the cancelled job's session never ended";

    const std::string document = SourceFile("samples/receipt.txt");
    ASSERT_TRUE(chain_->Print(queue, document));
    EXPECT_EQ(0, printer.wait()) << "every session decoded cleanly";

    // The cancelled job: its image whole, ESC @, and no feed or cut after it.
    const std::vector<std::string> cut = {SET_UP, SET_UP, IMAGE, INITIALISE};
    EXPECT_EQ(cut, ReadReceipt(sessions.Bytes(2)).outline);
    const std::string next = sessions.Listing(3);
    EXPECT_EQ(std::string::npos, next.find("carried over")) << next;
    const Receipt receipt = ReadReceipt(sessions.Bytes(3));
    EXPECT_EQ(DefaultOutline(1), receipt.outline);
    EXPECT_EQ(ImagesOf(ReferencePages(document)), receipt.images);
}

}  // namespace

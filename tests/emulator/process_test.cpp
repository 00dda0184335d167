// The receipt-emulator program end to end: from a file, over TCP on
// 127.0.0.1 and on a pseudo-terminal.
#include "bytes.h"
#include "emulator_process.h"
#include "png_reader.h"
#include "printer_client.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const ByteVector kPage = kDriverSetup + rasterHeader(2, 2) + hex("FF FF 00 00 1B 4A 01");

TEST(FileInput, CleanJobExitsZeroAndWritesEveryOutput)
{
    const std::string input = tempPath("job.bin");
    writeBytes(input, kPage);
    EmulatorProcess emulator({"--input", input, "--png", tempPath("out.png"), "--listing", tempPath("out.txt"), "--raw",
                              tempPath("out.bin")});
    ASSERT_EQ(emulator.wait(), 0);
    const std::string listing = ReadFile(tempPath("out.txt"));
    EXPECT_TRUE(contains(listing, "0000 ESC @ initialise\n")) << listing;
    EXPECT_TRUE(contains(listing, "0027 GS v 0 raster image 2 bytes x 2 rows (mode 0, normal)\n")) << listing;
    EXPECT_EQ(ReadFile(tempPath("out.bin")), std::string(kPage.begin(), kPage.end()));
    EXPECT_EQ(readPng(tempPath("out.png")).at(0, 0), kBlackPixel);
}

TEST(FileInput, DecodeErrorsGiveExitStatusTwo)
{
    const std::string input = tempPath("job.bin");
    writeBytes(input, kDriverSetup + hex("1B 70 30"));
    EmulatorProcess emulator({"--input", input, "--listing", tempPath("out.txt")});
    ASSERT_EQ(emulator.wait(), 2);
    EXPECT_TRUE(contains(ReadFile(tempPath("out.txt")), "0027 ERROR at 27: ESC p cut short"));
}

TEST(FileInput, MissingInputFails)
{
    EmulatorProcess emulator({"--input", tempPath("does-not-exist"), "--listing", tempPath("out.txt")});
    EXPECT_EQ(emulator.wait(), 1);
}

// The time a job takes on a slow link, worked out rather than waited for.
TEST(FileInput, ListingEndsWithTheTimeOnTheLink)
{
    const std::string input = tempPath("job.bin");
    writeBytes(input, ByteVector(960, 'A'));
    EmulatorProcess emulator({"--input", input, "--listing", tempPath("l.txt"), "--baud", "9600"});
    ASSERT_EQ(emulator.wait(), 0);
    EXPECT_EQ(ReadFile(tempPath("l.txt")),
              "0000 text \"" + std::string(960, 'A') + "\"\n-- link: 960 bytes at 960 bytes/s (9600 baud) take 1.000 s\n");
}

TEST(FileInput, TerminateWritesWhatArrivedFromAPipe)
{
    const std::string fifo = tempPath("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EmulatorProcess emulator({"--input", fifo, "--listing", tempPath("l.txt")});
    // Opening for writing succeeds once the emulator has opened its end.
    int writer = -1;
    for (int tries = 0; writer < 0 && tries < kGuardSeconds * 100; ++tries) {
        writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer < 0) usleep(10000);
    }
    ASSERT_GE(writer, 0);
    sendAll(writer, hex("1B 40 41"));
    emulator.terminate();
    EXPECT_EQ(emulator.wait(), 0);
    close(writer);
    EXPECT_EQ(ReadFile(tempPath("l.txt")), "0000 ESC @ initialise\n0002 text \"A\"\n");
}

TEST(TcpMode, EachConnectionIsAJobWithNumberedOutputs)
{
    const std::string readyFile = tempPath("port");
    EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--jobs", "2", "--ready-file", readyFile, "--listing",
                              tempPath("l.txt"), "--raw", tempPath("r.bin"), "--png", tempPath("p.png")});
    const std::string port = emulator.readLine();
    ASSERT_FALSE(port.empty());
    EXPECT_EQ(ReadFile(readyFile), port + "\n");

    const int first = connectLoopback(port);
    sendAll(first, kPage + hex("10 04 02"));
    EXPECT_EQ(readStatusByte(first), 0x12);
    finishJob(first);
    const int second = connectLoopback(port);
    sendAll(second, hex("1B 4A 16 1D 56 42 00"));
    finishJob(second);

    ASSERT_EQ(emulator.wait(), 0);
    EXPECT_EQ(ReadFile(tempPath("r-1.bin")), std::string(kPage.begin(), kPage.end()) + "\x10\x04\x02");
    EXPECT_TRUE(contains(ReadFile(tempPath("l-1.txt")), "real-time status request")) << ReadFile(tempPath("l-1.txt"));
    EXPECT_TRUE(contains(ReadFile(tempPath("l-2.txt")), "0003 GS V 66 0 partial cut after feed\n"));
    EXPECT_EQ(readPng(tempPath("p-1.png")).at(15, 0), kBlackPixel);
    EXPECT_GT(readPng(tempPath("p-2.png")).height, 0);
}

TEST(TcpMode, SingleJobKeepsPlainNames)
{
    EmulatorProcess emulator({"--tcp", "0", "--jobs", "1", "--listing", tempPath("l.txt")});
    const int client = connectLoopback(emulator.readLine());
    sendAll(client, hex("1B 40"));
    finishJob(client);
    ASSERT_EQ(emulator.wait(), 0);
    EXPECT_EQ(ReadFile(tempPath("l.txt")), "0000 ESC @ initialise\n");
}

TEST(TcpMode, StopsWhenIdleWithoutClients)
{
    EmulatorProcess emulator({"--tcp", "0", "--idle-timeout", "0.2", "--listing", tempPath("l.txt")});
    EXPECT_FALSE(emulator.readLine().empty());
    EXPECT_EQ(emulator.wait(), 0);
}

TEST(TcpMode, TerminateWritesTheJobInProgress)
{
    EmulatorProcess emulator({"--tcp", "0", "--listing", tempPath("l.txt")});
    const int client = connectLoopback(emulator.readLine());
    sendAll(client, hex("1B 40 10 04 02"));
    ASSERT_EQ(readStatusByte(client), 0x12);  // the emulator has read the bytes
    emulator.terminate();
    ASSERT_EQ(emulator.wait(), 0);
    close(client);
    EXPECT_EQ(ReadFile(tempPath("l-1.txt")),
              "0000 ESC @ initialise\n0002 DLE EOT 2 real-time status request (offline status)\n");
}

TEST(PtyMode, AnswersTheStatusProbeAndDecodesTheSession)
{
    EmulatorProcess emulator({"--pty", "--jobs", "1", "--listing", tempPath("l.txt")});
    const std::string slave = emulator.readLine();
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    const int fd = openRawSlave(slave);
    ASSERT_GE(fd, 0);

    sendAll(fd, hex("10 04 02"));
    const int status = readStatusByte(fd);
    EXPECT_EQ(status, 0x12);
    EXPECT_EQ(status & 0x12, 0x12);
    sendAll(fd, kDriverSetup);
    close(fd);

    ASSERT_EQ(emulator.wait(), 0);
    const std::string listing = ReadFile(tempPath("l.txt"));
    EXPECT_TRUE(contains(listing, "0000 DLE EOT 2 real-time status request")) << listing;
    EXPECT_TRUE(contains(listing, "0026 GS P 180 180")) << listing;
}

}  // namespace

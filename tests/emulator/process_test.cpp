// The receipt-emulator program end to end: from a file, over TCP on
// 127.0.0.1 and on a pseudo-terminal.
#include "bytes.h"
#include "emulator_process.h"
#include "png_reader.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>

namespace {

// A file name of this test and this run, in the temporary directory.
std::string tempPath(const std::string& name)
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps files of earlier runs from passing for this run's.
    return ::testing::TempDir() + "emulator_" + std::to_string(getpid()) + "_" + test->test_suite_name() + "_" +
           test->name() + "_" + name;
}

const Bytes kPage = kDriverSetup + rasterHeader(2, 2) + hex("FF FF 00 00 1B 4A 01");

void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Sends everything, or fails the test.
void sendAll(int fd, const Bytes& bytes)
{
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

// One status byte, or -1 when none came within the guard time.
int readStatusByte(int fd)
{
    pollfd entry{fd, POLLIN, 0};
    std::uint8_t byte = 0;
    if (poll(&entry, 1, kGuardSeconds * 1000) <= 0 || read(fd, &byte, 1) != 1) return -1;
    return byte;
}

int connectLoopback(const std::string& port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(port)));
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

// The way the CUPS socket backend ends a job: no more data, then wait for
// the printer to close.
void finishJob(int fd)
{
    shutdown(fd, SHUT_WR);
    char drain[64];
    pollfd entry{fd, POLLIN, 0};
    while (poll(&entry, 1, kGuardSeconds * 1000) > 0 && read(fd, drain, sizeof drain) > 0) {
    }
    close(fd);
}

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
    const int fd = open(slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);

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

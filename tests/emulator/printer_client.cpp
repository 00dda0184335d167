#include "printer_client.h"

#include "emulator_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>

std::string tempPath(const std::string& name)
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string testName = std::string(test->test_suite_name()) + "_" + test->name();
    for (char& c : testName) {
        if (c == '/') c = '_';
    }
    // The process id keeps files of earlier runs from passing for this run's.
    return ::testing::TempDir() + "emulator_" + std::to_string(getpid()) + "_" + testName + "_" + name;
}

void writeBytes(const std::string& path, const ByteVector& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void sendAll(int fd, const ByteVector& bytes)
{
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

int readStatusByte(int fd)
{
    pollfd entry{fd, POLLIN, 0};
    std::uint8_t byte = 0;
    if (poll(&entry, 1, kGuardSeconds * 1000) <= 0 || read(fd, &byte, 1) != 1) return -1;
    return byte;
}

int connectLoopback(const std::string& port, int bufferBytes)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (bufferBytes > 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof bufferBytes);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(port)));
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

void finishJob(int fd)
{
    shutdown(fd, SHUT_WR);
    char drain[64];
    pollfd entry{fd, POLLIN, 0};
    while (poll(&entry, 1, kGuardSeconds * 1000) > 0 && read(fd, drain, sizeof drain) > 0) {
    }
    close(fd);
}

int openRawSlave(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    EXPECT_GE(fd, 0) << path;
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
    return fd;
}

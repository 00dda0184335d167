// Clients that hold connections without completing a request: each is
// dropped after a time limit, and 10,000 of them, from 100 addresses,
// neither stop the printing of others nor take the server's memory.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int CONNECTIONS = 10000;
constexpr int ADDRESSES = 100;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A connection to the server on loopback from 127.0.0.`host`, not waited for.
int Connect(int port, int host)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + static_cast<uint32_t>(host - 1));
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

// Sends one byte; false once the server has closed the connection.
bool Trickle(int fd)
{
    const ssize_t sent = send(fd, "G", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    return sent == 1 || (sent < 0 && (errno == EAGAIN || errno == ENOTCONN || errno == EINPROGRESS));
}

// Connections that send a byte a second and never a whole request line.
class SlowClients {
public:
    SlowClients(int port, int count, int addresses) : thread_([this, port, count, addresses] {
        for (int i = 0; i < count && !stop_; ++i)
            fds_.push_back(Connect(port, 2 + i % addresses));
        opened_ = true;
        while (!stop_) {
            int open = 0;
            for (int& fd : fds_) {
                if (fd >= 0 && !Trickle(fd)) {
                    close(fd);
                    fd = -1;
                }
                open += fd >= 0;
            }
            open_ = open;
            for (int tick = 0; tick < 10 && !stop_; ++tick)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    })
    {
    }

    ~SlowClients()
    {
        stop_ = true;
        thread_.join();
        for (const int fd : fds_) {
            if (fd >= 0)
                close(fd);
        }
    }

    bool opened() const { return opened_; }
    int open() const { return open_; }

private:
    std::vector<int> fds_;
    std::atomic<bool> stop_{false}, opened_{false};
    std::atomic<int> open_{0};
    std::thread thread_;
};

long ResidentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return atol(line.c_str() + 6);
    }
    return -1;
}

TEST(PrinterAppFlood, SlowConnectionsDoNotStopThePrinting)
{
    rlimit files{CONNECTIONS + 1000, CONNECTIONS + 1000};
    ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &files)) << strerror(errno);
    AppServer server;
    PrinterSetup setup;
    setup.statusInterval = 0;
    setup.logLevel = "warn";
    ASSERT_TRUE(server.Start(setup));
    const TempDir folder("korla-flood-");
    WriteFile(folder / "bar.png", BarPng(576, 40));

    const SlowClients flood(server.port(), CONNECTIONS, ADDRESSES);
    for (const auto start = Clock::now(); !flood.opened() && SecondsSince(start) < 10;)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(flood.opened());
    std::this_thread::sleep_for(std::chrono::seconds(2));

    const auto start = Clock::now();
    const ChildResult printed = server.IppTool(IppRequest("Print-Job") +
                                                     "ATTR mimeMediaType document-format image/png\nFILE $filename\n"
                                                     "STATUS successful-ok\n}\n",
                                                 {"filename=" + (folder / "bar.png")});
    ASSERT_EQ(0, printed.exitStatus) << printed.out << printed.err;
    ASSERT_TRUE(server.NextJob().arrived);
    const double seconds = SecondsSince(start);
    const long resident = ResidentKilobytes(server.pid());
    RecordProperty("job_seconds_under_flood", std::to_string(seconds));
    RecordProperty("server_resident_kb_under_flood", std::to_string(resident));
    printf("A job printed in %.3f s with %d slow connections open; the server held %ld kB.\n", seconds, flood.open(),
           resident);
    EXPECT_GT(flood.open(), 0) << "the flood was over before the job printed";
    EXPECT_LT(seconds, 5.0);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(resident, 64 * 1024);
#endif
}

// A request line that never ends is no request: the server closes the
// connection after its time limit, however steadily the bytes trickle in.
TEST(PrinterAppFlood, ConnectionWithoutAWholeRequestIsDropped)
{
    AppServer server;
    PrinterSetup setup;
    setup.statusInterval = 0;
    ASSERT_TRUE(server.Start(setup));
    const int fd = Connect(server.port(), 1);
    ASSERT_LE(0, fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(Trickle(fd));
    const auto start = Clock::now();
    bool open = true;
    while (open && SecondsSince(start) < 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        char byte;
        open = Trickle(fd) && recv(fd, &byte, 1, MSG_DONTWAIT) != 0;
    }
    close(fd);
    EXPECT_FALSE(open) << "still open after 20 s";
    EXPECT_LT(SecondsSince(start), 15.0);
}

}  // namespace

// The emulator as a printer on a link, over TCP and on a pseudo-terminal:
// replies nobody reads, stop signals, print speed, the decoding state kept
// between jobs and the paper status.
#include "bytes.h"
#include "emulator_jobs.h"
#include "emulator_process.h"
#include "png_reader.h"
#include "printer_client.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <cstdio>
#include <thread>

namespace {

enum class Link { Tcp, Pty };

void PrintTo(Link link, std::ostream* out) { *out << (link == Link::Tcp ? "Tcp" : "Pty"); }

// Starts the emulator listening on the link; where: its port or pty path.
std::unique_ptr<EmulatorProcess> startOn(Link link, std::vector<std::string> options, std::string& where)
{
    options.insert(options.begin(), link == Link::Tcp ? "--tcp" : "--pty");
    if (link == Link::Tcp) options.insert(options.begin() + 1, "0");
    auto emulator = std::make_unique<EmulatorProcess>(options);
    where = emulator->readLine();
    return emulator;
}

// A client whose writes do not block and, on TCP, with small buffers, so that
// the test sees at once how the emulator takes bytes and sends replies.
int openClient(Link link, const std::string& where)
{
    const int fd = link == Link::Tcp ? connectLoopback(where, 4096) : openRawSlave(where);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Ends the job: a TCP client keeps its side open to read, a serial one lets go.
void endJob(Link link, int fd) { link == Link::Tcp ? shutdown(fd, SHUT_WR) : close(fd); }

// Writes from `from` on as much as the link takes now; returns how far it got.
std::size_t sendWhatFits(int fd, const ByteVector& bytes, std::size_t from = 0)
{
    while (from < bytes.size()) {
        // send() keeps a socket whose peer has gone from raising SIGPIPE; a pty is no socket.
        ssize_t count = send(fd, bytes.data() + from, bytes.size() - from, MSG_NOSIGNAL);
        if (count < 0 && errno == ENOTSOCK) count = write(fd, bytes.data() + from, bytes.size() - from);
        if (count <= 0) break;
        from += std::size_t(count);
    }
    return from;
}

std::size_t fileSize(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? std::size_t(status.st_size) : 0;
}

class EveryLink : public ::testing::TestWithParam<Link> {};

// 100,000 status requests: some 100 kB of replies, more than the link holds.
// The emulator takes them all although nobody reads a reply, and SIGTERM ends
// it while the replies still wait.
TEST_P(EveryLink, RepliesNobodyReadsHoldNothingUp)
{
    ByteVector flood;
    for (int i = 0; i < 100000; ++i) flood.insert(flood.end(), {0x10, 0x04, 0x04});
    std::string where;
    const auto emulator = startOn(GetParam(), {"--raw", tempPath("r.bin")}, where);
    const int client = openClient(GetParam(), where);
    for (std::size_t sent = 0; (sent = sendWhatFits(client, flood, sent)) < flood.size();) {
        pollfd entry{client, POLLOUT, 0};
        ASSERT_GT(poll(&entry, 1, kGuardSeconds * 1000), 0) << "the emulator stopped taking bytes at " << sent;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    emulator->terminate();
    const int status = emulator->wait();
    EXPECT_TRUE(status == 0 || status == 2) << "no end on SIGTERM: " << status;  // 2: stopped inside a request
    EXPECT_GT(fileSize(tempPath("r-1.bin")), 0u);
    close(client);
}

// The sender is held back, a job can be cancelled while the emulator takes
// it, and what it took is bounded by the speed.
TEST_P(EveryLink, PrintSpeedHoldsTheSenderBack)
{
    const auto start = std::chrono::steady_clock::now();
    std::string where;
    const auto emulator = startOn(
        GetParam(), {"--bytes-per-second", "2000", "--raw", tempPath("r.bin"), "--listing", tempPath("l.txt")}, where);
    const int client = openClient(GetParam(), where);
    const ByteVector job(200000, 'A');
    const std::size_t sent = sendWhatFits(client, job);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(sendWhatFits(client, job, sent), job.size()) << "the link took the whole job at once";
    emulator->terminate();
    ASSERT_EQ(emulator->wait(), 0);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close(client);
    const std::size_t taken = fileSize(tempPath("r-1.bin"));
    EXPECT_GT(taken, 0u);
    EXPECT_LE(double(taken), 2000 * (elapsed + 0.01)) << "taken in " << elapsed << " s";
    EXPECT_TRUE(contains(ReadFile(tempPath("l-1.txt")), "-- link: " + std::to_string(taken) + " bytes at 2000 bytes/s"));
}

INSTANTIATE_TEST_SUITE_P(Links, EveryLink, ::testing::Values(Link::Tcp, Link::Pty),
                         [](const ::testing::TestParamInfo<Link>& info) { return info.param == Link::Tcp ? "Tcp" : "Pty"; });

struct StateCase {
    const char* name;
    Link link;
    std::vector<std::string> options;
    bool carried;  // the second job's bytes complete the first job's image
};

void PrintTo(const StateCase& c, std::ostream* out) { *out << c.name; }

class DecodingState : public ::testing::TestWithParam<StateCase> {};

TEST_P(DecodingState, CarriesAnUnfinishedCommandWhereAsked)
{
    std::vector<std::string> options = GetParam().options;
    options.insert(options.end(), {"--jobs", "2", "--listing", tempPath("l.txt"), "--png", tempPath("p.png")});
    std::string where;
    const auto emulator = startOn(GetParam().link, options, where);
    // An image of two rows, its second row in the next job.
    const ByteVector jobs[] = {kDriverSetup + rasterHeader(2, 2) + hex("FF FF"), hex("81 81 1B 40")};
    for (int job = 1; job <= 2; ++job) {
        const int client = openClient(GetParam().link, where);
        sendAll(client, jobs[job - 1]);
        endJob(GetParam().link, client);
        // The job's outputs are written before the next session opens.
        ASSERT_TRUE(EmulatorJobs(tempPath("p")).Await(job));
        if (GetParam().link == Link::Tcp) close(client);
    }
    const int status = emulator->wait();
    const std::string first = ReadFile(tempPath("l-1.txt")), second = ReadFile(tempPath("l-2.txt"));
    if (!GetParam().carried) {
        EXPECT_EQ(status, 2);
        EXPECT_TRUE(contains(first, "0027 ERROR at 27: GS v 0 announces 4 bytes of image data, 2 arrive\n")) << first;
        EXPECT_EQ(second, "0000 ERROR at 0: 2 unknown bytes 81 81\n0002 ESC @ initialise\n");
        return;
    }
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(contains(first, " vertical\n-- held over: the job ends inside the command at 27; its 10 bytes wait for"
                                " the next job\n"))
        << first;
    EXPECT_EQ(second, "-- carried over: the previous job ended inside a command; its last 10 bytes come first and"
                      " offsets count from them\n0000 GS v 0 raster image 2 bytes x 2 rows (mode 0, normal)\n"
                      "0012 ESC @ initialise\n");
    const Picture paper = readPng(tempPath("p-2.png"));
    EXPECT_EQ(paper.at(1, 0), kBlackPixel);
    EXPECT_EQ(paper.at(1, 1), kWhitePixel);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, DecodingState,
    ::testing::Values(StateCase{"SerialLineKeepsItByDefault", Link::Pty, {}, true},
                      StateCase{"NetworkDecodesEachJobAlone", Link::Tcp, {}, false},
                      StateCase{"NetworkWithIt", Link::Tcp, {"--keep-state"}, true}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

// The file is read at every request; what it does not name leaves the state
// given on the command line.
TEST(PaperStatus, FollowsThePaperFileWhileRunning)
{
    const std::string paperFile = tempPath("paper");
    EmulatorProcess emulator({"--tcp", "0", "--paper", "near-end", "--paper-file", paperFile, "--jobs", "1"});
    const int client = connectLoopback(emulator.readLine());
    const std::pair<std::string, const char*> states[] = {
        // file content ("" for none) and the replies to DLE EOT 1, 2, 3 and 4
        {"", "12 12 12 1E"}, {"out\n", "1A 32 12 7E"}, {"ok", "12 12 12 12"}, {" near-end\n", "12 12 12 1E"},
        {"out", "1A 32 12 7E"}, {"bad", "12 12 12 1E"},
    };
    for (const auto& [content, replies] : states) {
        if (!content.empty()) {
            writeBytes(paperFile + ".new", ByteVector(content.begin(), content.end()));
            ASSERT_EQ(std::rename((paperFile + ".new").c_str(), paperFile.c_str()), 0);
        }
        sendAll(client, hex("10 04 01 10 04 02 10 04 03 10 04 04"));
        ByteVector answers;
        for (int i = 0; i < 4; ++i) answers.push_back(std::uint8_t(readStatusByte(client)));
        EXPECT_EQ(answers, hex(replies)) << content;
    }
    finishJob(client);
    EXPECT_EQ(emulator.wait(), 0);
}

}  // namespace

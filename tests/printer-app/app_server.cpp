#include "app_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

// PAPPL 1.3.1 may not stop after some IPP traffic; then it is killed.
constexpr auto SHUTDOWN_GUARD = std::chrono::seconds(5);

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

int FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

int CountLines(const std::string& listing, const std::string& text)
{
    std::istringstream lines(listing);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(text) != std::string::npos;
    return count;
}

AppServer::~AppServer()
{
    Stop();
    if (printer_)
        printer_->terminate();
}

bool AppServer::Start(const std::string& driver)
{
    printer_ = std::make_unique<EmulatorProcess>(std::vector<std::string>{
        "--tcp", "127.0.0.1:0", "--jobs", "1000", "--raw", printerOutput_ / "job.bin", "--listing",
        printerOutput_ / "job.txt", "--png", printerOutput_ / "job.png"});
    const std::string printerPort = printer_->readLine();
    port_ = FreeLoopbackPort();
    if (printerPort.empty() || port_ == 0) {
        ADD_FAILURE() << "no port for the printer or the server";
        return false;
    }

    pid_ = fork();
    if (pid_ == 0) {
        const int log = open((folder_ / "server.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execl(APP_PATH, APP_PATH, "--dir", folder_.path().c_str(), "server", "-o",
              ("server-port=" + std::to_string(port_)).c_str(), "-o", "log-level=debug", nullptr);
        _exit(127);
    }
    if (!WaitUntilAnswering()) {
        ADD_FAILURE() << "the server did not answer\n" << ReadFile(folder_ / "server.out");
        return false;
    }
    const ChildResult added =
        Run({"add", "-d", PRINTER, "-v", "socket://127.0.0.1:" + printerPort, "-m", driver});
    if (added.exitStatus != 0)
        ADD_FAILURE() << "add: " << added.out << added.err;
    return added.exitStatus == 0;
}

bool AppServer::WaitUntilAnswering() const
{
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (Clock::now() < deadline) {
        if (Exists(folder_ / "korla-printer-app.sock") && Run({"status"}).exitStatus == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// A sanitizer's report from the server lands in its output, which no
// test reads otherwise; the server's exit is not looked at, since PAPPL
// itself may report at shutdown.
void AppServer::Stop()
{
    if (pid_ <= 0)
        return;
    const std::string output = ReadFile(folder_ / "server.out");
    if (output.find("Sanitizer") != std::string::npos || output.find("runtime error") != std::string::npos)
        ADD_FAILURE() << "the server reported an error\n" << output;
    Run({"shutdown"});
    int status = 0;
    const auto deadline = Clock::now() + SHUTDOWN_GUARD;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        WakeUp();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    pid_ = -1;
}

// PAPPL notices a shutdown only when something happens: a connection.
void AppServer::WakeUp() const
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    close(fd);
}

std::string AppServer::PrinterUri() const
{
    return "ipp://127.0.0.1:" + std::to_string(port_) + "/ipp/print/" + PRINTER;
}

std::string AppServer::WebUrl(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

ChildResult AppServer::Run(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> argv = {APP_PATH, "--dir", folder_.path()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunChild(argv, {});
}

ChildResult AppServer::IppTool(const std::string& test, const std::vector<std::string>& definitions) const
{
    static int count = 0;
    const std::string file = folder_ / ("test-" + std::to_string(++count) + ".test");
    WriteFile(file, test);
    std::vector<std::string> argv = {"/usr/bin/ipptool", "-tv"};
    for (const std::string& definition : definitions) {
        argv.push_back("-d");
        argv.push_back(definition);
    }
    argv.push_back(PrinterUri());
    argv.push_back(file);
    return RunChild(argv, {});
}

// The emulator numbers its outputs job by job and writes them once the
// connection has closed: the bytes, the listing, then the paper picture, so
// that the picture's file says the other two are complete.
AppServer::PrinterJob AppServer::NextJob()
{
    const std::string number = std::to_string(++jobsSeen_);
    const std::string picture = printerOutput_ / ("job-" + number + ".png");
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (Clock::now() < deadline && !Exists(picture))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PrinterJob job;
    job.arrived = Exists(picture);
    if (job.arrived) {
        job.bytes = ReadFile(printerOutput_ / ("job-" + number + ".bin"));
        job.listing = ReadFile(printerOutput_ / ("job-" + number + ".txt"));
    }
    return job;
}

#include "emulator_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

EmulatorProcess::EmulatorProcess(const std::vector<std::string>& arguments)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    std::vector<char*> argv;
    std::string program = EMULATOR_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    stdout_ = pipeEnds[0];
}

EmulatorProcess::~EmulatorProcess()
{
    if (pid_ > 0) wait();
    if (stdout_ >= 0) close(stdout_);
}

std::string EmulatorProcess::readLine()
{
    std::string line;
    char c;
    pollfd entry{stdout_, POLLIN, 0};
    while (poll(&entry, 1, kGuardSeconds * 1000) > 0 && read(stdout_, &c, 1) == 1) {
        if (c == '\n') return line;
        line += c;
    }
    return line;
}

void EmulatorProcess::terminate()
{
    if (pid_ > 0) kill(pid_, SIGTERM);
}

int EmulatorProcess::wait()
{
    if (pid_ <= 0) return -1;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kGuardSeconds);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the receipt-emulator program as a child process, for the tests that
// talk to it as a printer.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class EmulatorProcess {
public:
    // Starts the program with these arguments, its stdout on a pipe.
    explicit EmulatorProcess(const std::vector<std::string>& arguments);
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // The first line the program prints; empty if none came within the guard time.
    std::string readLine();
    void terminate();
    // Waits for the program to end and returns its exit status, or -1 if it
    // had to be killed after the guard time.
    int wait();

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

// Guard against a hung child or peer; never an assertion about speed.
inline constexpr int kGuardSeconds = 20;

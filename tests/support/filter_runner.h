// Test support: runs the real filter program as CUPS would.
#ifndef KORLA_TESTS_FILTER_RUNNER_H
#define KORLA_TESTS_FILTER_RUNNER_H

#include <string>
#include <sys/types.h>
#include <vector>

#include "printer_capture.h"

struct FilterRun {
    int exitStatus = -1;      // -1 when the program did not exit normally
    Writes writes;            // what reached standard output, write by write
    std::string errorOutput;  // what reached standard error
};

struct FilterInvocation {
    std::vector<std::string> args;  // argv[1] onwards
    std::string ppd;                // value of PPD; empty leaves it unset
    std::string input;              // file on standard input; empty means /dev/null
    bool inputThroughPipe = false;  // standard input a pipe that carries the file, as from a filter before
    bool stdoutClosed = false;      // run with descriptor 1 closed
    size_t addressSpaceLimit = 0;   // RLIMIT_AS for the filter; 0 leaves it alone
    std::vector<std::string> launcher = {};  // a program that runs the filter, e.g. valgrind
};

FilterRun RunFilter(const FilterInvocation& invocation);

// Starts the filter with its standard output on stdoutFd and its standard
// error into errorPath; returns its pid for the caller to signal and wait.
pid_t StartFilter(const FilterInvocation& invocation, int stdoutFd, const std::string& errorPath);
// Waits for it: its exit status, or -1 when it did not exit normally.
int WaitForExit(pid_t pid);

// The usual job arguments: job id, user, title, copies, options [, file].
std::vector<std::string> JobArgs(int copies, const std::string& file = "");

#endif

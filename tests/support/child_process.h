// Runs a program as a child process with a given environment, working
// directory and standard input, and collects what it writes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ChildResult {
    bool started = false;
    int exitStatus = -1;   // exit code, or -1 when it did not exit normally
    std::string out;       // standard output
    std::string err;       // standard error
};

struct ChildOptions {
    std::string workingDir;                                      // "" keeps ours
    std::map<std::string, std::optional<std::string>> environment;  // nullopt removes
    std::string input;                                           // fed, then closed
};

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options);

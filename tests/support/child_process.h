// Runs a program as a child process with a given environment, working
// directory and standard input, and collects what it writes.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <sys/types.h>
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
    // When not 0, a child still running after this many seconds is killed
    // (SIGKILL), so that a test of something that hangs ends as a failure.
    int guardSeconds = 0;
    std::function<void(pid_t)> started;  // told the child's process id, if set
};

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options);

// Whether a program's output ends with the text.
inline bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

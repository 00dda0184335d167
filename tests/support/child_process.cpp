#include "child_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int KILLED_DRAIN_MS = 1000;

struct Pipe {
    int fds[2] = {-1, -1};
    bool Open() { return pipe2(fds, O_CLOEXEC) == 0; }
};

// Our environment with the options' changes applied, as "NAME=value" strings.
std::vector<std::string> ChildEnvironment(const ChildOptions& options)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : options.environment) {
        if (value)
            variables[name] = *value;
        else
            variables.erase(name);
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : variables)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> Pointers(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& text : strings)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void ExecChild(char* const* args, char* const* envp, const std::string& workingDir,
                            const Pipe& in, const Pipe& out, const Pipe& err)
{
    dup2(in.fds[0], 0);
    dup2(out.fds[1], 1);
    dup2(err.fds[1], 2);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0)
        _exit(126);
    execve(args[0], args, envp);
    _exit(127);
}

// Milliseconds until the guard of a child started at `start` runs out; -1
// (wait for ever) without a guard, 0 once it has run out.
int GuardLeft(const ChildOptions& options, std::chrono::steady_clock::time_point start)
{
    if (options.guardSeconds == 0)
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        start + std::chrono::seconds(options.guardSeconds) - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

// Feeds the input and drains both outputs until the child closes them;
// kills the child when its guard runs out.
void Exchange(pid_t pid, int inFd, int outFd, int errFd, const ChildOptions& options, ChildResult& result)
{
    const std::string& input = options.input;
    const auto start = std::chrono::steady_clock::now();
    bool killed = false;
    std::size_t written = 0;
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    }
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
        // Once killed, what the child started may still hold its outputs:
        // they are read for a moment longer, not until they close.
        const int ready = poll(fds, 3, killed ? KILLED_DRAIN_MS : GuardLeft(options, start));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready == 0 && killed)
            break;
        if (ready == 0) {
            kill(pid, SIGKILL);
            killed = true;
            continue;
        }
        char buffer[4096];
        int* readFds[2] = {&outFd, &errFd};
        std::string* sinks[2] = {&result.out, &result.err};
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents == 0)
                continue;
            const ssize_t n = read(*readFds[i], buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(*readFds[i]);
                *readFds[i] = -1;
            }
        }
        if (inFd >= 0 && fds[2].revents != 0) {
            const ssize_t n = write(inFd, input.data() + written, input.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            if (n <= 0 || written == input.size()) {
                close(inFd);
                inFd = -1;
            }
        }
    }
    for (int fd : {inFd, outFd, errFd}) {
        if (fd >= 0)
            close(fd);
    }
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options)
{
    ChildResult result;
    Pipe in, out, err;
    if (argv.empty() || !in.Open() || !out.Open() || !err.Open())
        return result;
    // A child that stops reading its input must not kill us with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> environment = ChildEnvironment(options);
    const std::vector<char*> args = Pointers(argv);
    const std::vector<char*> envp = Pointers(environment);
    const pid_t pid = fork();
    if (pid == 0)
        ExecChild(args.data(), envp.data(), options.workingDir, in, out, err);
    close(in.fds[0]);
    close(out.fds[1]);
    close(err.fds[1]);
    if (pid < 0) {
        close(in.fds[1]);
        close(out.fds[0]);
        close(err.fds[0]);
        return result;
    }
    result.started = true;
    if (options.started)
        options.started(pid);
    Exchange(pid, in.fds[1], out.fds[0], err.fds[0], options, result);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

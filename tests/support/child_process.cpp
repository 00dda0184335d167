#include "child_process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

// Feeds the input and drains both outputs until the child closes them.
void Exchange(int inFd, int outFd, int errFd, const std::string& input, ChildResult& result)
{
    std::size_t written = 0;
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    }
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR)
            break;
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
    if (inFd >= 0)
        close(inFd);
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
    Exchange(in.fds[1], out.fds[0], err.fds[0], options.input, result);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

#include "filter_runner.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace {

// Everything the child needs is built before the fork: after it, in a
// process with other threads, only async-signal-safe calls are made.
struct PreparedExec {
    std::vector<std::string> envStrings;
    std::vector<char*> argv;
    std::vector<char*> envp;
    std::string inputPath;
    bool inputThroughPipe;
    std::string program;
    bool stdoutClosed;
    rlim_t addressSpaceLimit;
};

PreparedExec Prepare(const FilterInvocation& invocation)
{
    PreparedExec exec;
    for (char** env = environ; *env != nullptr; ++env) {
        if (std::string(*env).rfind("PPD=", 0) != 0)
            exec.envStrings.emplace_back(*env);
    }
    if (!invocation.ppd.empty())
        exec.envStrings.push_back("PPD=" + invocation.ppd);
    for (std::string& env : exec.envStrings)
        exec.envp.push_back(env.data());
    exec.envp.push_back(nullptr);

    for (const std::string& word : invocation.launcher)
        exec.argv.push_back(const_cast<char*>(word.c_str()));
    // The filter's own argv[0] is the queue name, as under CUPS.
    exec.argv.push_back(const_cast<char*>(invocation.launcher.empty() ? "test-queue" : FILTER_BINARY));
    exec.program = invocation.launcher.empty() ? FILTER_BINARY : invocation.launcher.front();
    for (const std::string& arg : invocation.args)
        exec.argv.push_back(const_cast<char*>(arg.c_str()));
    exec.argv.push_back(nullptr);
    exec.inputPath = invocation.input.empty() ? "/dev/null" : invocation.input;
    exec.inputThroughPipe = invocation.inputThroughPipe;
    exec.stdoutClosed = invocation.stdoutClosed;
    exec.addressSpaceLimit = invocation.addressSpaceLimit;
    return exec;
}

// A pipe whose other end a child of our own fills with the file's bytes.
int PipeCarrying(int file)
{
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    if (fork() == 0) {
        // Nothing but the file and the pipe stays open here, so that the
        // printer's socket closes when the filter ends.
        for (int fd = 0; fd < 1024; ++fd) {
            if (fd != file && fd != ends[1])
                close(fd);
        }
        char buffer[65536];
        ssize_t got;
        while ((got = read(file, buffer, sizeof buffer)) > 0) {
            for (ssize_t sent = 0; sent < got;) {
                const ssize_t n = write(ends[1], buffer + sent, static_cast<size_t>(got - sent));
                if (n <= 0)
                    _exit(1);
                sent += n;
            }
        }
        _exit(0);
    }
    close(ends[1]);
    return ends[0];
}

[[noreturn]] void ExecFilter(const PreparedExec& exec, int stdoutFd, int stderrFd)
{
    // CUPS starts filters with SIGTERM at its default action.
    signal(SIGTERM, SIG_DFL);
    const int file = open(exec.inputPath.c_str(), O_RDONLY);
    const int in = exec.inputThroughPipe ? PipeCarrying(file) : file;
    dup2(in, STDIN_FILENO);
    dup2(stdoutFd, STDOUT_FILENO);
    dup2(stderrFd, STDERR_FILENO);
    if (exec.stdoutClosed)
        close(STDOUT_FILENO);
    if (exec.addressSpaceLimit != 0) {
        const rlimit limit = {exec.addressSpaceLimit, exec.addressSpaceLimit};
        setrlimit(RLIMIT_AS, &limit);
    }
    execve(exec.program.c_str(), exec.argv.data(), exec.envp.data());
    _exit(127);
}


}  // namespace

pid_t StartFilter(const FilterInvocation& invocation, int stdoutFd, const std::string& errorPath)
{
    const int errorFd = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const PreparedExec exec = Prepare(invocation);
    const pid_t pid = fork();
    if (pid == 0)
        ExecFilter(exec, stdoutFd, errorFd);
    close(errorFd);
    return pid;
}

FilterRun RunFilter(const FilterInvocation& invocation)
{
    TempDir dir;
    const std::string errorPath = dir / "stderr";
    PacketCollector printer;
    const pid_t pid = StartFilter(invocation, printer.WriterFd(), errorPath);

    FilterRun run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.writes = printer.Finish();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errorOutput = ReadFile(errorPath);
    return run;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> JobArgs(int copies, const std::string& file)
{
    std::vector<std::string> args = {"42", "tester", "receipt", std::to_string(copies), ""};
    if (!file.empty())
        args.push_back(file);
    return args;
}

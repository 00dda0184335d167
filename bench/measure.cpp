// measure: runs a program several times and prints the medians of its wall
// time, CPU time (user + system) and peak resident memory.
//
//   measure REPEATS [--pipe FILE] PROGRAM [ARG...]
//
// The program's standard output and error go to /dev/null, its environment is
// ours.
// With --pipe, its standard input is a pipe that a helper process fills with
// FILE, as when a filter before it in a chain feeds it; the helper's time is
// not counted. Prints one line: wall_ms cpu_ms peak_rss_kib.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
    long peakRssKib = 0;
};

double Milliseconds(const timeval& tv)
{
    return static_cast<double>(tv.tv_sec) * 1e3 + static_cast<double>(tv.tv_usec) / 1e3;
}

// Copies the file into fd in a child process; returns the child's pid.
pid_t FeedInChild(const char* path, int fd)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(path, O_RDONLY);
        char buffer[1 << 16];
        ssize_t got;
        while (in >= 0 && (got = read(in, buffer, sizeof buffer)) > 0) {
            if (write(fd, buffer, static_cast<size_t>(got)) != got)
                _exit(1);
        }
        _exit(in >= 0 ? 0 : 1);
    }
    return pid;
}

// Runs the program once, its input fed through a pipe from pipeFile when
// that is given; false when it could not be run or did not exit 0.
bool RunOnce(const char* pipeFile, char* argv[], Sample& sample)
{
    int ends[2] = {-1, -1};
    if (pipeFile != nullptr && pipe(ends) != 0)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const pid_t feeder = pipeFile != nullptr ? FeedInChild(pipeFile, ends[1]) : 0;
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        if (pipeFile != nullptr) {
            dup2(ends[0], STDIN_FILENO);
            close(ends[0]);
            close(ends[1]);
        }
        execvp(argv[0], argv);
        _exit(127);
    }
    if (pipeFile != nullptr) {
        close(ends[0]);
        close(ends[1]);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    if (feeder > 0)
        waitpid(feeder, nullptr, 0);
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;

    sample.wallMs = wall.count();
    sample.cpuMs = Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
    sample.peakRssKib = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <typename T>
T Median(std::vector<T> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    const int repeats = argc > 2 ? atoi(argv[1]) : 0;
    int first = 2;
    const char* pipeFile = nullptr;
    if (argc > 4 && std::string(argv[2]) == "--pipe") {
        pipeFile = argv[3];
        first = 4;
    }
    if (repeats < 1 || first >= argc) {
        fprintf(stderr, "usage: %s REPEATS [--pipe FILE] PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }

    std::vector<double> wall, cpu;
    std::vector<long> rss;
    for (int i = 0; i < repeats; ++i) {
        Sample sample;
        if (!RunOnce(pipeFile, argv + first, sample)) {
            fprintf(stderr, "%s: %s failed\n", argv[0], argv[first]);
            return 1;
        }
        wall.push_back(sample.wallMs);
        cpu.push_back(sample.cpuMs);
        rss.push_back(sample.peakRssKib);
    }
    printf("%.1f %.1f %ld\n", Median(wall), Median(cpu), Median(rss));
    return 0;
}

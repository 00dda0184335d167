// measure: runs a program several times and prints the medians of its wall
// time, CPU time (user + system) and peak resident memory.
//
//   measure REPEATS PROGRAM [ARG...]
//
// The program's standard output goes to /dev/null, its environment is ours.
// Prints one line: wall_ms cpu_ms peak_rss_kib.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

// Runs the program once; false when it could not be run or did not exit 0.
bool RunOnce(char* argv[], Sample& sample)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
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
    if (repeats < 1) {
        fprintf(stderr, "usage: %s REPEATS PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }

    std::vector<double> wall, cpu;
    std::vector<long> rss;
    for (int i = 0; i < repeats; ++i) {
        Sample sample;
        if (!RunOnce(argv + 2, sample)) {
            fprintf(stderr, "%s: %s failed\n", argv[0], argv[2]);
            return 1;
        }
        wall.push_back(sample.wallMs);
        cpu.push_back(sample.cpuMs);
        rss.push_back(sample.peakRssKib);
    }
    printf("%.1f %.1f %ld\n", Median(wall), Median(cpu), Median(rss));
    return 0;
}

// measure: runs two programs by turns, several times each, and prints the
// medians of their wall time, CPU time, kernel time and memory.
//
//   measure REPEATS [--pipe FILE] PROGRAM [ARG...] -- PROGRAM [ARG...]
//
// The runs alternate (first, second, second, first, ...), so that a machine
// that is busier for a while slows both alike. Each program's standard
// output and error go to /dev/null; its environment is ours. With --pipe,
// its standard input is a pipe that a helper process fills with FILE, as
// when a filter before it in a chain feeds it; the helper's time is not
// counted.
//
// Prints one line per program: wall_ms cpu_ms system_ms peak_rss_kib
// peak_memory_kib, where CPU time is user and system (kernel) time
// together, and memory is the peak resident memory plus the largest size
// that the program's memory files (memfd, tmpfs) reached, sampled every
// millisecond. A third line holds the medians of the per-turn ratios of the
// first program to the second: wall cpu.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr long TMPFS_MAGIC_NUMBER = 0x01021994;  // memfd and tmpfs files

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
    double systemMs = 0;
    long peakRssKib = 0;
    long peakMemoryKib = 0;
};

double Milliseconds(const timeval& tv)
{
    return static_cast<double>(tv.tv_sec) * 1e3 + static_cast<double>(tv.tv_usec) / 1e3;
}

// Copies the file into the pipe's write end in a child process; returns the
// child's pid. The child lets go of the read end, so that it ends when the
// program does not read (it failed to start, say).
pid_t FeedInChild(const char* path, const int ends[2])
{
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        const int fd = ends[1];
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

// The bytes that the process's open memory files hold, each file once.
long MemoryFileKib(pid_t pid)
{
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    DIR* fds = opendir(folder.c_str());
    if (fds == nullptr)
        return 0;
    std::set<std::pair<dev_t, ino_t>> seen;
    long kib = 0;
    while (const dirent* entry = readdir(fds)) {
        const std::string path = folder + "/" + entry->d_name;
        struct stat st;
        struct statfs fs;
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && statfs(path.c_str(), &fs) == 0 &&
            fs.f_type == TMPFS_MAGIC_NUMBER && seen.insert({st.st_dev, st.st_ino}).second)
            kib += static_cast<long>(st.st_blocks / 2);
    }
    closedir(fds);
    return kib;
}

// Runs the program once, its input fed through a pipe from pipeFile when
// that is given; false when it could not be run or did not exit 0.
bool RunOnce(const char* pipeFile, char* argv[], Sample& sample)
{
    int ends[2] = {-1, -1};
    if (pipeFile != nullptr && pipe(ends) != 0)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const pid_t feeder = pipeFile != nullptr ? FeedInChild(pipeFile, ends) : 0;
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
    std::atomic<bool> ended{false};
    long memoryFileKib = 0;
    std::thread sampler([&] {
        while (!ended) {
            memoryFileKib = std::max(memoryFileKib, MemoryFileKib(pid));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    int status = 0;
    rusage usage{};
    const pid_t waited = wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
    ended = true;
    sampler.join();
    if (feeder > 0)
        waitpid(feeder, nullptr, 0);
    if (waited != pid)
        return false;

    sample.wallMs = wall.count();
    sample.systemMs = Milliseconds(usage.ru_stime);
    sample.cpuMs = Milliseconds(usage.ru_utime) + sample.systemMs;
    sample.peakRssKib = usage.ru_maxrss;
    sample.peakMemoryKib = usage.ru_maxrss + memoryFileKib;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <typename T>
T Median(std::vector<T> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

template <typename T>
std::vector<T> Field(const std::vector<Sample>& samples, T Sample::*field)
{
    std::vector<T> values;
    for (const Sample& sample : samples)
        values.push_back(sample.*field);
    return values;
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
    int separator = first;
    while (separator < argc && std::string(argv[separator]) != "--")
        ++separator;
    if (repeats < 1 || separator == first || separator + 1 >= argc) {
        fprintf(stderr, "usage: %s REPEATS [--pipe FILE] PROGRAM [ARG...] -- PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }
    argv[separator] = nullptr;
    char** programs[2] = {argv + first, argv + separator + 1};

    std::vector<Sample> samples[2];
    std::vector<double> wallRatio, cpuRatio;
    for (int i = 0; i < repeats; ++i) {
        Sample turn[2];
        for (int k = 0; k < 2; ++k) {
            const int which = i % 2 == 0 ? k : 1 - k;
            if (!RunOnce(pipeFile, programs[which], turn[which])) {
                fprintf(stderr, "%s: %s failed\n", argv[0], programs[which][0]);
                return 1;
            }
            samples[which].push_back(turn[which]);
        }
        wallRatio.push_back(turn[0].wallMs / turn[1].wallMs);
        cpuRatio.push_back(turn[0].cpuMs / turn[1].cpuMs);
    }
    for (const std::vector<Sample>& program : samples)
        printf("%.1f %.1f %.1f %ld %ld\n", Median(Field(program, &Sample::wallMs)),
               Median(Field(program, &Sample::cpuMs)), Median(Field(program, &Sample::systemMs)),
               Median(Field(program, &Sample::peakRssKib)), Median(Field(program, &Sample::peakMemoryKib)));
    printf("%.3f %.3f\n", Median(wallRatio), Median(cpuRatio));
    return 0;
}

#include "emulator_jobs.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "emulator_process.h"
#include "temp_dir.h"

std::string EmulatorJobs::Path(int job, const std::string& extension) const
{
    return stem_ + "-" + std::to_string(job) + extension;
}

bool EmulatorJobs::Complete(int job) const
{
    return std::filesystem::exists(Path(job, last_));
}

bool EmulatorJobs::Await(int job) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kGuardSeconds);
    while (!Complete(job)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int EmulatorJobs::AwaitNewest(int after) const
{
    if (!Await(after + 1))
        return after;
    int newest = after + 1;
    while (Complete(newest + 1))
        ++newest;
    return newest;
}

std::string EmulatorJobs::Bytes(int job) const
{
    return ReadFile(Path(job, ".bin"));
}

std::string EmulatorJobs::Listing(int job) const
{
    return ReadFile(Path(job, ".txt"));
}

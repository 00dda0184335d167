// The files that receipt-emulator keeps of each job it takes, numbered from
// 1: --raw STEM.bin, --listing STEM.txt and --png STEM.png become
// STEM-N.bin, STEM-N.txt and STEM-N.png. The emulator writes them in that
// order, each appearing under its name only once whole, so a job is
// complete once the last of the files it was asked for is there.
#ifndef KORLA_TESTS_EMULATOR_JOBS_H
#define KORLA_TESTS_EMULATOR_JOBS_H

#include <string>

class EmulatorJobs {
public:
    // stem: the path given to the options without its extension; last: the
    // extension of the last file asked for (".png" when a picture is).
    EmulatorJobs(std::string stem, std::string last = ".png") : stem_(std::move(stem)), last_(std::move(last)) {}

    // "STEM-N" and an extension.
    std::string Path(int job, const std::string& extension) const;
    bool Complete(int job) const;
    // Waits up to the guard time for the job to be complete.
    bool Await(int job) const;
    // The newest complete job after `after`, once at least one more is
    // complete; `after` when none came within the guard time.
    int AwaitNewest(int after) const;

    std::string Bytes(int job) const;    // "" when not asked for
    std::string Listing(int job) const;  // "" when not asked for

private:
    std::string stem_;
    std::string last_;
};

#endif

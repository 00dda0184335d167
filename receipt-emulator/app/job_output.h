// Turns one job's bytes into the requested outputs: PNG, listing, raw copy.
#pragma once

#include "app/options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// "out.png" for job 3 becomes "out-3.png"; a name without extension gets "-3".
std::string numberedPath(const std::string& path, int job);

class JobOutput {
public:
    // numbered: name each job's files after its number.
    JobOutput(const Options& options, bool numbered) : options_(options), numbered_(numbered) {}

    // Returns false when an output could not be written (said on stderr).
    bool write(const std::vector<std::uint8_t>& job);

    int jobsWithErrors() const { return jobsWithErrors_; }

private:
    std::string pathFor(const std::string& path) const { return numbered_ ? numberedPath(path, jobCount_) : path; }

    const Options& options_;
    bool numbered_;
    int jobCount_ = 0;
    int jobsWithErrors_ = 0;
};

}  // namespace app

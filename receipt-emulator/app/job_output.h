// Turns each job's bytes into the requested outputs: PNG, listing, raw copy.
#pragma once

#include "app/options.h"
#include "decoder/command.h"
#include "io/listen.h"
#include "logos/logo_store.h"

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

    // The logos stored before the first job, from the --logo-store file.
    bool loadLogos(std::string& error);
    // Returns false when an output could not be written (said on stderr).
    bool write(const io::ArrivedJob& job);
    // After the last job: an unfinished command still held counts as an error.
    void finish();

    int jobsWithErrors() const { return jobsWithErrors_; }

private:
    // What the printer made of its buffer once the job had arrived.
    struct Decoded {
        std::vector<escpos::Command> commands;
        std::size_t carriedIn = 0;  // bytes of an earlier job that came first
    };

    std::string pathFor(const std::string& path) const { return numbered_ ? numberedPath(path, jobCount_) : path; }
    // Decodes the job after what is held from the previous one, and holds an
    // unfinished command for the next job where the options say so.
    Decoded decode(const io::ArrivedJob& job);
    std::string listingOf(const Decoded& decoded, const io::ArrivedJob& job) const;
    // The FS p commands of the job that asked for logos the printer did not hold.
    std::string missingLogos(const std::vector<escpos::Command>& commands) const;
    // Takes the logos that the job's FS q commands stored, and keeps them in the file.
    bool storeLogos(const std::vector<escpos::Command>& commands);
    // The time the job takes on the link, when a print speed is set.
    std::string linkSummary(const io::ArrivedJob& job) const;

    const Options& options_;
    bool numbered_;
    int jobCount_ = 0;
    int jobsWithErrors_ = 0;
    std::vector<std::uint8_t> held_;  // an unfinished command waiting for the next job
    logos::LogoStore logos_;          // the printer's logo memory as the next job finds it
};

}  // namespace app

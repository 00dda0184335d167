// Command line of receipt-emulator.
#pragma once

#include "io/paper_sensor.h"

#include <optional>
#include <string>

namespace app {

enum class Source { File, Tcp, Pty };

struct Options {
    Source source = Source::File;
    std::string inputPath = "-";  // "-" is standard input
    int tcpPort = 0;              // 0: the system picks a free port
    std::string ptyLink;          // symlink to the pty slave, if wanted
    int jobs = 0;                 // listen modes: stop after this many jobs; 0: no limit
    double idleTimeoutSeconds = 0;  // listen modes: stop after this long without traffic; 0: never
    std::string readyFile;        // listen modes: where to write the port or pty path
    std::string pngPath;
    std::string listingPath;      // "-" is standard output
    std::string rawPath;
    int paperWidth = 576;
    bool wholeDotFeeds = false;   // ESC J rounded down to whole dots in the picture
    double bytesPerSecond = 0;    // print speed; 0: as fast as the bytes come
    int baud = 0;                 // the line speed the print speed was given as, if it was
    std::optional<bool> keepState;  // carry an unfinished command into the next job
    io::Paper paper = io::Paper::Ok;
    std::string paperFile;        // listen modes: where to read the paper state at each request
    std::string logoStorePath;    // where the logos stored by FS q are kept between jobs and runs

    // A serial line has no job boundaries, so the pty keeps the decoding
    // state by default; a network connection's end does end a job.
    bool keepsState() const { return keepState.value_or(source == Source::Pty); }
};

extern const char* const kUsage;

// Returns the options, or nothing with error saying what is wrong.
std::optional<Options> parseOptions(int argc, const char* const argv[], std::string& error);

}  // namespace app

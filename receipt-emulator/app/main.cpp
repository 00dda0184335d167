// receipt-emulator: stands in for the receipt printer in tests and demos.
#include "app/job_output.h"
#include "app/options.h"
#include "io/files.h"
#include "io/listen.h"
#include "io/stop_signal.h"

#include <cstdio>
#include <string>

namespace {

enum ExitStatus { kClean = 0, kFailure = 1, kDecodeErrors = 2 };

// The port or pty path: in the ready file (written whole) for whoever polls
// for it, then on stdout for whoever started us, so that both are in place
// once the line has arrived.
void announce(const app::Options& options, const std::string& where)
{
    if (!options.readyFile.empty()) {
        const std::string line = where + "\n";
        std::string error;
        if (!io::replaceWholeFile(options.readyFile, line.data(), line.size(), error))
            std::fprintf(stderr, "receipt-emulator: cannot write %s\n", options.readyFile.c_str());
    }
    std::printf("%s\n", where.c_str());
    std::fflush(stdout);
}

bool runFromFile(const app::Options& options, app::JobOutput& output)
{
    io::ArrivedJob job;
    job.last = true;
    std::string error;
    if (!io::readWholeInput(options.inputPath, job.bytes, error)) {
        std::fprintf(stderr, "receipt-emulator: %s\n", error.c_str());
        return false;
    }
    return output.write(job);
}

bool runListening(const app::Options& options, app::JobOutput& output)
{
    const io::ListenSettings settings{options.jobs, options.idleTimeoutSeconds, options.bytesPerSecond,
                                      io::PaperSensor(options.paper, options.paperFile)};
    bool outputsWritten = true;
    const auto ready = [&options](const std::string& where) { announce(options, where); };
    const auto onJob = [&](const io::ArrivedJob& job) { outputsWritten = output.write(job) && outputsWritten; };
    std::string error;
    const bool served = options.source == app::Source::Tcp
                            ? io::serveTcp(options.tcpPort, settings, ready, onJob, error)
                            : io::servePty(options.ptyLink, settings, ready, onJob, error);
    if (!served) std::fprintf(stderr, "receipt-emulator: %s\n", error.c_str());
    output.finish();
    return served && outputsWritten;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::fputs(app::kUsage, stdout);
        return kClean;
    }
    std::string error;
    const std::optional<app::Options> options = app::parseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "receipt-emulator: %s\n%s", error.c_str(), app::kUsage);
        return kFailure;
    }
    io::installStopHandlers();
    const bool listening = options->source != app::Source::File;
    app::JobOutput output(*options, listening && options->jobs != 1);
    if (!output.loadLogos(error)) {
        std::fprintf(stderr, "receipt-emulator: %s\n", error.c_str());
        return kFailure;
    }
    const bool ok = listening ? runListening(*options, output) : runFromFile(*options, output);
    if (!ok) return kFailure;
    return output.jobsWithErrors() > 0 ? kDecodeErrors : kClean;
}

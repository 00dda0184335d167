#include "app/job_output.h"

#include "decoder/decoder.h"
#include "io/files.h"
#include "listing/listing.h"
#include "render/paper_renderer.h"
#include "render/png_writer.h"

#include <algorithm>
#include <cstdio>

namespace app {
namespace {

bool reportFailure(bool ok, const std::string& error)
{
    if (!ok) std::fprintf(stderr, "receipt-emulator: %s\n", error.c_str());
    return ok;
}

}  // namespace

std::string numberedPath(const std::string& path, int job)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::size_t stemEnd = hasExtension ? dot : path.size();
    return path.substr(0, stemEnd) + "-" + std::to_string(job) + path.substr(stemEnd);
}

bool JobOutput::write(const std::vector<std::uint8_t>& job)
{
    ++jobCount_;
    const std::vector<escpos::Command> commands = escpos::decode(job);
    const bool hasErrors = std::any_of(commands.begin(), commands.end(),
                                       [](const escpos::Command& c) { return c.op == escpos::Op::Error; });
    if (hasErrors) ++jobsWithErrors_;
    std::string error;
    bool ok = true;
    if (!options_.rawPath.empty()) {
        ok = reportFailure(io::writeWholeFile(pathFor(options_.rawPath), job.data(), job.size(), error), error) && ok;
    }
    if (!options_.listingPath.empty()) {
        const std::string text = listing::formatListing(commands);
        const std::string path = options_.listingPath == "-" ? "-" : pathFor(options_.listingPath);
        ok = reportFailure(io::writeWholeFile(path, text.data(), text.size(), error), error) && ok;
    }
    if (!options_.pngPath.empty()) {
        const render::Canvas paper = render::renderPaper(commands, {options_.paperWidth, render::kDefaultMaxRows});
        if (paper.clipped()) std::fprintf(stderr, "receipt-emulator: paper picture cut off at %d dots\n", paper.maxRows());
        ok = reportFailure(render::writePng(paper, pathFor(options_.pngPath), error), error) && ok;
    }
    return ok;
}

}  // namespace app

#include "app/job_output.h"

#include "decoder/decoder.h"
#include "io/files.h"
#include "listing/listing.h"
#include "render/paper_renderer.h"
#include "render/png_writer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <optional>

namespace app {
namespace {

// An unfinished command longer than this (an image header announcing
// gigabytes, say) is not held for the next job but reported as cut short.
constexpr std::size_t kMaxHeldBytes = 64u << 20;

bool reportFailure(bool ok, const std::string& error)
{
    if (!ok) std::fprintf(stderr, "receipt-emulator: %s\n", error.c_str());
    return ok;
}

std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string formatted(const char* format, ...)
{
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    return line;
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

JobOutput::Decoded JobOutput::decode(const io::ArrivedJob& job)
{
    std::vector<std::uint8_t> buffer = std::move(held_);
    held_.clear();
    Decoded decoded;
    decoded.carriedIn = buffer.size();
    buffer.insert(buffer.end(), job.bytes.begin(), job.bytes.end());
    if (options_.keepsState() && !job.last) {
        escpos::DecodedPart part = escpos::decodeFinished(buffer.data(), buffer.size());
        if (buffer.size() - part.unfinishedFrom <= kMaxHeldBytes) {
            held_.assign(buffer.begin() + std::ptrdiff_t(part.unfinishedFrom), buffer.end());
            decoded.commands = std::move(part.commands);
            return decoded;
        }
    }
    decoded.commands = escpos::decode(buffer);
    return decoded;
}

std::string JobOutput::listingOf(const Decoded& decoded, const io::ArrivedJob& job) const
{
    std::string text;
    if (decoded.carriedIn > 0) {
        text += formatted("-- carried over: the previous job ended inside a command; its last %zu bytes come first"
                          " and offsets count from them\n",
                          decoded.carriedIn);
    }
    text += listing::formatListing(decoded.commands);
    text += missingLogos(decoded.commands);
    if (!held_.empty()) {
        text += formatted("-- held over: the job ends inside the command at %zu; its %zu bytes wait for the next job\n",
                          decoded.carriedIn + job.bytes.size() - held_.size(), held_.size());
    }
    return text + linkSummary(job);
}

std::string JobOutput::missingLogos(const std::vector<escpos::Command>& commands) const
{
    logos::LogoStore logos = logos_;
    std::string text;
    for (const escpos::Command& command : commands) {
        logos.apply(command);
        if (command.op == escpos::Op::StoredLogo && !logos.find(command.args[0])) {
            text += formatted("-- missing: FS p at %04zu asks for stored logo %u, which the printer does not hold\n",
                              command.offset, unsigned(command.args[0]));
        }
    }
    return text;
}

bool JobOutput::loadLogos(std::string& error)
{
    return options_.logoStorePath.empty() || logos_.load(options_.logoStorePath, error);
}

bool JobOutput::storeLogos(const std::vector<escpos::Command>& commands)
{
    bool changed = false;
    for (const escpos::Command& command : commands) changed = logos_.apply(command) || changed;
    if (!changed || options_.logoStorePath.empty()) return true;
    std::string error;
    return reportFailure(logos_.save(options_.logoStorePath, error), error);
}

std::string JobOutput::linkSummary(const io::ArrivedJob& job) const
{
    if (options_.bytesPerSecond <= 0) return "";
    std::string text = formatted("-- link: %zu bytes at %g bytes/s", job.bytes.size(), options_.bytesPerSecond);
    if (options_.baud > 0) text += formatted(" (%d baud)", options_.baud);
    text += formatted(" take %.3f s", double(job.bytes.size()) / options_.bytesPerSecond);
    if (options_.source != Source::File) text += formatted("; arrived in %.3f s", job.seconds);
    return text + "\n";
}

bool JobOutput::write(const io::ArrivedJob& job)
{
    ++jobCount_;
    const Decoded decoded = decode(job);
    const std::vector<escpos::Command>& commands = decoded.commands;
    const bool hasErrors = std::any_of(commands.begin(), commands.end(),
                                       [](const escpos::Command& c) { return c.op == escpos::Op::Error; });
    if (hasErrors) ++jobsWithErrors_;
    std::string error;
    bool ok = true;
    if (!options_.rawPath.empty()) {
        ok = reportFailure(io::replaceWholeFile(pathFor(options_.rawPath), job.bytes.data(), job.bytes.size(), error),
                           error) && ok;
    }
    if (!options_.listingPath.empty()) {
        const std::string text = listingOf(decoded, job);
        const bool written = options_.listingPath == "-"
                                 ? io::writeWholeFile("-", text.data(), text.size(), error)
                                 : io::replaceWholeFile(pathFor(options_.listingPath), text.data(), text.size(), error);
        ok = reportFailure(written, error) && ok;
    }
    // The picture is drawn with the logos the job found, and written last:
    // its file says that the job's other outputs, and its logos, are kept.
    // Every file appears under its name only once it is whole.
    std::optional<render::Canvas> paper;
    if (!options_.pngPath.empty()) {
        paper = render::renderPaper(commands, {options_.paperWidth, render::kDefaultMaxRows, &logos_, options_.wholeDotFeeds});
        if (paper->clipped()) std::fprintf(stderr, "receipt-emulator: paper picture cut off at %d dots\n", paper->maxRows());
    }
    ok = storeLogos(commands) && ok;
    if (paper) {
        const std::string path = pathFor(options_.pngPath);
        const std::string part = path + ".part";
        ok = reportFailure(render::writePng(*paper, part, error) && io::publishFile(part, path, error), error) && ok;
    }
    return ok;
}

void JobOutput::finish()
{
    if (held_.empty()) return;
    std::fprintf(stderr, "receipt-emulator: the last job ended inside a command; its %zu bytes were never completed\n",
                 held_.size());
    ++jobsWithErrors_;
}

}  // namespace app

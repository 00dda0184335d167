#include "app/options.h"

#include <cstdlib>
#include <functional>
#include <map>

namespace app {

const char* const kUsage =
    "usage: receipt-emulator [--input FILE|- | --tcp [127.0.0.1:]PORT | --pty [--pty-link PATH]]\n"
    "                        [--jobs N] [--idle-timeout SEC] [--ready-file FILE]\n"
    "                        [--png OUT.png] [--listing OUT.txt|-] [--raw OUT.bin] [--paper-width 576|384]\n"
    "                        [--whole-dot-feeds] [--bytes-per-second N | --baud B] [--keep-state | --no-keep-state]\n"
    "                        [--paper ok|near-end|out] [--paper-file PATH] [--logo-store FILE]\n"
    "Reads ESC/POS bytes from a file or standard input (the default), or listens on a\n"
    "loopback TCP port or a pseudo-terminal, one job per connection or pty session.\n"
    "In listen modes the port or pty path is printed as the first line of standard\n"
    "output once it is ready. With several jobs outputs are named OUT-1.png, OUT-2.png...\n"
    "Without --png, --listing or --raw the listing goes to standard output.\n"
    "--bytes-per-second N (or --baud B, B/10 bytes a second) takes the bytes no faster\n"
    "than that and ends the listing with the time the job takes on such a link.\n"
    "--keep-state carries an unfinished command into the next job (the default with\n"
    "--pty). --paper sets what status requests report; --paper-file names a file\n"
    "holding ok, near-end or out, read at each request. --logo-store keeps the logos\n"
    "that FS q stores in FILE, for FS p to print in later jobs and runs.\n"
    "--whole-dot-feeds draws each ESC J feed rounded down to whole dots, as printers\n"
    "do whose motion unit does not divide their resolution.\n";

namespace {

bool parseInt(const std::string& text, int low, int high, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < low || parsed > high) return false;
    value = int(parsed);
    return true;
}

bool parseSeconds(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value >= 0 && value <= 86400;
}

// Accepts "PORT" or "127.0.0.1:PORT": the emulator listens on loopback only.
bool parseTcpAddress(const std::string& text, int& port)
{
    const std::string loopback = "127.0.0.1:";
    const std::string portText = text.rfind(loopback, 0) == 0 ? text.substr(loopback.size()) : text;
    return portText.find(':') == std::string::npos && parseInt(portText, 0, 65535, port);
}

bool parsePaper(const std::string& text, io::Paper& paper)
{
    const std::optional<io::Paper> parsed = io::parsePaper(text);
    if (parsed) paper = *parsed;
    return parsed.has_value();
}

bool setBytesPerSecond(Options& options, const std::string& text)
{
    int rate = 0;
    if (!parseInt(text, 1, 100000000, rate)) return false;
    options.bytesPerSecond = rate;
    options.baud = 0;
    return true;
}

// 8 data bits, no parity and one stop bit: ten bits on the line per byte.
bool setBaud(Options& options, const std::string& text)
{
    if (!parseInt(text, 10, 100000000, options.baud)) return false;
    options.bytesPerSecond = options.baud / 10.0;
    return true;
}

using FlagHandler = std::function<void(Options&)>;
using ValueHandler = std::function<bool(Options&, const std::string&)>;

const std::map<std::string, FlagHandler>& flagOptions()
{
    static const std::map<std::string, FlagHandler> handlers = {
        {"--pty", [](Options& o) { o.source = Source::Pty; }},
        {"--keep-state", [](Options& o) { o.keepState = true; }},
        {"--no-keep-state", [](Options& o) { o.keepState = false; }},
        {"--whole-dot-feeds", [](Options& o) { o.wholeDotFeeds = true; }},
    };
    return handlers;
}

const std::map<std::string, ValueHandler>& valueOptions()
{
    static const std::map<std::string, ValueHandler> handlers = {
        {"--input", [](Options& o, const std::string& v) { o.source = Source::File; o.inputPath = v; return true; }},
        {"--tcp", [](Options& o, const std::string& v) { o.source = Source::Tcp; return parseTcpAddress(v, o.tcpPort); }},
        {"--pty-link", [](Options& o, const std::string& v) { o.ptyLink = v; return true; }},
        {"--jobs", [](Options& o, const std::string& v) { return parseInt(v, 1, 1000000, o.jobs); }},
        {"--idle-timeout", [](Options& o, const std::string& v) { return parseSeconds(v, o.idleTimeoutSeconds); }},
        {"--ready-file", [](Options& o, const std::string& v) { o.readyFile = v; return true; }},
        {"--png", [](Options& o, const std::string& v) { o.pngPath = v; return true; }},
        {"--listing", [](Options& o, const std::string& v) { o.listingPath = v; return true; }},
        {"--raw", [](Options& o, const std::string& v) { o.rawPath = v; return true; }},
        {"--paper-width", [](Options& o, const std::string& v) {
             return parseInt(v, 0, 1 << 16, o.paperWidth) && (o.paperWidth == 576 || o.paperWidth == 384);
         }},
        {"--bytes-per-second", setBytesPerSecond},
        {"--baud", setBaud},
        {"--paper", [](Options& o, const std::string& v) { return parsePaper(v, o.paper); }},
        {"--paper-file", [](Options& o, const std::string& v) { o.paperFile = v; return !v.empty(); }},
        {"--logo-store", [](Options& o, const std::string& v) { o.logoStorePath = v; return !v.empty(); }},
    };
    return handlers;
}

}  // namespace

std::optional<Options> parseOptions(int argc, const char* const argv[], std::string& error)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const auto flag = flagOptions().find(name);
        if (flag != flagOptions().end()) {
            flag->second(options);
            continue;
        }
        const auto handler = valueOptions().find(name);
        if (handler == valueOptions().end()) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = name + " needs a value";
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (!handler->second(options, value)) {
            error = "bad value for " + name + ": " + value;
            return std::nullopt;
        }
    }
    if (options.pngPath.empty() && options.listingPath.empty() && options.rawPath.empty()) options.listingPath = "-";
    return options;
}

}  // namespace app

#include "tool_options.h"

#include <cstdlib>
#include <functional>
#include <map>

const char* const TOOL_USAGE =
    "Usage: korla-logos [--dir DIR] [-v DEVICE-URI | -q QUEUE] [--paper-width 576|384]\n"
    "                   [--preview FILE.png] [--yes] [--again]\n"
    "                   [--dither threshold|ordered|diffusion] [--threshold N] IMAGE...\n"
    "\n"
    "Stores the images, PNG or JPEG, in the receipt printer as logos 1, 2, ... for\n"
    "the logo settings of its queue (FS q, which replaces every logo stored before).\n"
    "An image wider than the paper is scaled down to its width; a narrower one keeps\n"
    "its size, a pixel a dot.\n"
    "\n"
    "  -v DEVICE-URI     the printer: socket://HOST[:PORT] (port 6001 unless given),\n"
    "                    serial:PORT?baud=N+bits=8|7+parity=none|even|odd+flow=hard|soft|none\n"
    "                    or usb://...\n"
    "  -q QUEUE          the printer of a CUPS queue, sent the logos as a raw job\n"
    "  --paper-width N   dots printed across: 576 (80 mm paper, the default) or 384 (58 mm)\n"
    "  --preview FILE    writes a picture of the logos as they will print; without\n"
    "                    -v or -q nothing else is done\n"
    "  --dither WORD     for the images after it: threshold (the default; line art,\n"
    "                    text), ordered (a 16 x 16 matrix; flat greys) or diffusion\n"
    "                    (error diffusion; photos)\n"
    "  --threshold N     for the images after it: the grey (1-255, 128 by default)\n"
    "                    below which a dot prints, by threshold or diffusion\n"
    "  --yes             stores without asking\n"
    "  --again           stores a set the printer got last time too (flash memory wears)\n"
    "  --dir DIR         the folder whose record says what each printer got last\n"
    "                    (korla-printer-app's folder)\n";

namespace {

constexpr unsigned PAPER_WIDTHS[] = {576, 384};

bool ParseNumber(const std::string& text, long low, long high, long& value)
{
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= low && value <= high;
}

// What a value option does with its value; false when the value is wrong.
using ValueOption = std::function<bool(ToolOptions&, LogoRecipe&, const std::string&)>;

const std::map<std::string, ValueOption>& ValueOptions()
{
    static const std::map<std::string, ValueOption> options = {
        {"-v", [](ToolOptions& o, LogoRecipe&, const std::string& v) { o.deviceUri = v; return !v.empty(); }},
        {"-q", [](ToolOptions& o, LogoRecipe&, const std::string& v) { o.queue = v; return !v.empty(); }},
        {"--paper-width",
         [](ToolOptions& o, LogoRecipe&, const std::string& v) {
             long width = 0;
             if (!ParseNumber(v, 1, 65535, width))
                 return false;
             o.paperWidth = static_cast<unsigned>(width);
             return o.paperWidth == PAPER_WIDTHS[0] || o.paperWidth == PAPER_WIDTHS[1];
         }},
        {"--preview", [](ToolOptions& o, LogoRecipe&, const std::string& v) { o.previewPath = v; return !v.empty(); }},
        {"--dither",
         [](ToolOptions&, LogoRecipe& next, const std::string& v) { return ParseOneBitMethod(v, next.oneBit.method); }},
        {"--threshold",
         [](ToolOptions&, LogoRecipe& next, const std::string& v) {
             long threshold = 0;
             if (!ParseNumber(v, 1, 255, threshold))
                 return false;
             next.oneBit.threshold = static_cast<int>(threshold);
             return true;
         }},
    };
    return options;
}

}  // namespace

std::optional<ToolOptions> ParseToolOptions(const std::vector<std::string>& arguments, std::string& error)
{
    ToolOptions options;
    LogoRecipe next;  // what the images from here on are made with
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--yes" || argument == "--again") {
            (argument == "--yes" ? options.yes : options.again) = true;
            continue;
        }
        const auto option = ValueOptions().find(argument);
        if (option == ValueOptions().end()) {
            if (argument.size() > 1 && argument[0] == '-') {
                error = "unknown option " + argument;
                return std::nullopt;
            }
            next.path = argument;
            options.images.push_back(next);
            continue;
        }
        if (i + 1 == arguments.size()) {
            error = argument + " needs a value";
            return std::nullopt;
        }
        if (!option->second(options, next, arguments[++i])) {
            error = "bad value for " + argument + ": " + arguments[i];
            return std::nullopt;
        }
    }
    if (options.images.empty())
        error = "no image given";
    else if (!options.deviceUri.empty() && !options.queue.empty())
        error = "-v and -q name two printers: give one";
    else if (options.deviceUri.empty() && options.queue.empty() && options.previewPath.empty())
        error = "give the printer (-v or -q), or --preview to see the logos first";
    return error.empty() ? std::optional<ToolOptions>(options) : std::nullopt;
}

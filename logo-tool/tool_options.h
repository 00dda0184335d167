// The command line of korla-logos.
#ifndef KORLA_TOOL_OPTIONS_H
#define KORLA_TOOL_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "logo_image.h"

struct ToolOptions {
    std::string deviceUri;     // -v: the printer on one of the printer application's links
    std::string queue;         // -q: a CUPS queue, sent a raw job
    unsigned paperWidth = 576; // dots the head prints across
    std::string previewPath;   // where the picture of the logos goes
    bool yes = false;          // store without asking
    bool again = false;        // store a set that was stored last time too
    std::vector<LogoRecipe> images;
};

extern const char* const TOOL_USAGE;

// Nothing, with error saying what is wrong, for a command line that asks
// for nothing or for something impossible.
std::optional<ToolOptions> ParseToolOptions(const std::vector<std::string>& arguments, std::string& error);

#endif

// The command set as data: fixed-length commands and the cut functions.
#pragma once

#include "decoder/command.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace escpos {

// Returns nullptr when the argument bytes are acceptable, else why not.
using ArgumentCheck = const char* (*)(const std::uint8_t* args);

struct FixedCommand {
    std::string_view prefix;
    std::size_t argCount;
    Op op;
    const char* mnemonic;
    ArgumentCheck check;  // may be null: every value is meaningful
};

const std::vector<FixedCommand>& fixedCommands();

// GS V m [n]: what each function m does and whether n follows.
struct CutFunction {
    std::uint8_t m;
    bool takesN;
    bool fullCut;
    const char* feed;  // how the paper moves before the cut
};

// nullptr for an m the printer does not know.
const CutFunction* findCutFunction(std::uint8_t m);

// Prefixes of the commands the decoder handles outside the fixed table.
inline constexpr std::string_view kRasterImagePrefix{"\x1d\x76\x30", 3};
inline constexpr std::size_t kRasterHeaderLength = 8;
inline constexpr std::string_view kCutPrefix{"\x1d\x56", 2};
inline constexpr std::string_view kDefineLogosPrefix{"\x1c\x71", 2};

}  // namespace escpos

// The logos that an FS q command defines, read from its data.
#pragma once

#include "decoder/command.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace escpos {

// xL xH yL yH before each logo's data.
inline constexpr std::size_t kLogoHeaderLength = 4;

// One logo: x and y in units of 8 dots, and where its x * y * 8 bytes
// start in the command's data, column by column, each from the top.
struct DefinedLogo {
    unsigned widthUnits = 0;
    unsigned heightUnits = 0;
    std::size_t dataOffset = 0;

    unsigned widthDots() const { return widthUnits * 8; }
    unsigned heightDots() const { return heightUnits * 8; }
};

// The bytes of data that the 4-byte header at `header` announces.
std::size_t logoDataLength(const std::uint8_t* header);

// What makes the command no definition the printer takes (n of 0, a size
// outside the fields' range, more data than the printer's logo memory
// holds); "" when nothing does.
std::string logoDefinitionProblem(const Command& define);

// The logos, in the order of their numbers; nothing when the command has a
// problem.
std::optional<std::vector<DefinedLogo>> definedLogos(const Command& define);

}  // namespace escpos

// Pure ESC/POS decoder: bytes in, commands and errors out. No I/O, no state
// kept between calls, safe on arbitrary input. A caller that models a
// printer's buffer across jobs keeps the unfinished bytes itself.
#pragma once

#include "decoder/command.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace escpos {

// Decodes a whole job. Every byte is covered by exactly one entry: a command,
// or an Op::Error entry naming the offset and what was wrong. Errors about a
// command's arguments follow that command and cover no bytes of their own. An image whose
// header announces more data than arrives yields the image with the bytes
// that did arrive, followed by an error.
std::vector<Command> decode(const std::uint8_t* bytes, std::size_t size);

inline std::vector<Command> decode(const std::vector<std::uint8_t>& bytes)
{
    return decode(bytes.data(), bytes.size());
}

struct DecodedPart {
    std::vector<Command> commands;
    std::size_t unfinishedFrom = 0;  // offset of the unfinished command; the size if there is none
};

// Decodes like decode() up to the first command that the bytes end inside
// (its prefix, its arguments or its image data incomplete) and stops there,
// reporting no error for it: the bytes from unfinishedFrom on are the start
// of a command that more bytes would complete.
DecodedPart decodeFinished(const std::uint8_t* bytes, std::size_t size);

}  // namespace escpos

// Pure ESC/POS decoder: bytes in, commands and errors out. No I/O, no state
// kept between calls, safe on arbitrary input.
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

}  // namespace escpos

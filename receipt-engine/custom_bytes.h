// Custom bytes: the value of a "StartDoc" or "EndDoc" setting that is not a
// plain choice, "Custom." followed by tokens \xH or \xHH, one byte each
// ("Custom.\x1b\x61\x1" is 1B 61 01). One reader serves both front ends:
// the filter sends what it reads from any value the PPD holds, as it always
// has; the printer application stores only values that it reads as
// well-formed.
#ifndef KORLA_CUSTOM_BYTES_H
#define KORLA_CUSTOM_BYTES_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

inline constexpr char CUSTOM_PREFIX[] = "Custom.";

struct CustomBytes {
    std::vector<unsigned char> bytes;  // what the printer gets
    bool wellFormed = false;           // "Custom." at the start, then whole tokens and nothing else
    size_t textLength = 0;             // characters after "Custom."
};

// The bytes of a value that holds "Custom." anywhere; nothing for any other
// value. The tokens are read from the eighth character on, until fewer than
// three characters remain or no hexadecimal number follows a token's two
// lead-in characters; the next token starts three characters on when the
// next 'x' stands four characters on, else four. So a malformed value sends
// what could be read of it, and at most 1024 bytes.
std::optional<CustomBytes> ReadCustomBytes(const std::string& value);

#endif

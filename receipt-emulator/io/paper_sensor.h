// What the paper sensors report, and the printer's answers to the real-time
// status request DLE EOT n that follow from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace io {

enum class Paper { Ok, NearEnd, Out };

// "ok", "near-end" or "out", surrounding white space ignored.
std::optional<Paper> parsePaper(std::string_view text);

// The status byte for DLE EOT n (n = 1..4) with the paper in this state.
std::uint8_t statusReply(Paper paper, std::uint8_t n);

// The paper state given on the command line or, when a file is named and
// holds a state, the one in that file, read afresh at every request so that
// a test can change it while the emulator runs.
class PaperSensor {
public:
    explicit PaperSensor(Paper fixed = Paper::Ok, std::string file = {}) : fixed_(fixed), file_(std::move(file)) {}
    Paper read() const;

private:
    Paper fixed_;
    std::string file_;
};

}  // namespace io

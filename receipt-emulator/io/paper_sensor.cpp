#include "io/paper_sensor.h"

#include <fstream>
#include <iterator>

#include "status_byte.h"

namespace io {
namespace {

// Every reply is a status byte as the printer's clients read one: the fixed
// bits and what reports. Paper near its end shows only in the roll paper
// sensor status; paper out also takes the printer off-line (n = 1, bit 3)
// because printing stopped at the paper end (n = 2, bit 5), and the roll
// sensor reports near end and end (n = 4, bits 2-3 and 5-6).
// Row: paper state; column: n - 1.
constexpr std::uint8_t kFixed = STATUS_FIXED_BITS;
constexpr std::uint8_t kStatusReplies[3][4] = {
    /* Ok      */ {kFixed, kFixed, kFixed, kFixed},
    /* NearEnd */ {kFixed, kFixed, kFixed, kFixed | 0x0C},
    /* Out     */ {kFixed | 0x08, kFixed | 0x20, kFixed, kFixed | 0x0C | 0x60},
};

constexpr bool allStatusBytes()
{
    for (const auto& row : kStatusReplies)
        for (std::uint8_t reply : row)
            if (!IsStatusByte(reply)) return false;
    return true;
}
static_assert(allStatusBytes(), "every reply must read as a status byte");

}  // namespace

std::optional<Paper> parsePaper(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kSpace) + 1 - first);
    if (text == "ok") return Paper::Ok;
    if (text == "near-end") return Paper::NearEnd;
    if (text == "out") return Paper::Out;
    return std::nullopt;
}

std::uint8_t statusReply(Paper paper, std::uint8_t n)
{
    return kStatusReplies[static_cast<int>(paper)][n - 1];
}

Paper PaperSensor::read() const
{
    if (file_.empty()) return fixed_;
    std::ifstream in(file_);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return parsePaper(text).value_or(fixed_);
}

}  // namespace io

#include "io/paper_sensor.h"

#include <fstream>
#include <iterator>

namespace io {
namespace {

// Every reply carries the fixed bits 0x10 and 0x02. Paper near its end shows
// only in the roll paper sensor status; paper out also takes the printer
// off-line (n = 1, bit 3) because printing stopped at the paper end (n = 2,
// bit 5), and the roll sensor reports near end and end (n = 4, bits 2-3 and 5-6).
// Row: paper state; column: n - 1.
constexpr std::uint8_t kStatusReplies[3][4] = {
    /* Ok      */ {0x12, 0x12, 0x12, 0x12},
    /* NearEnd */ {0x12, 0x12, 0x12, 0x1E},
    /* Out     */ {0x1A, 0x32, 0x12, 0x7E},
};

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

#include "io/status_responder.h"

namespace io {

std::vector<std::uint8_t> StatusResponder::feed(const std::uint8_t* bytes, std::size_t count)
{
    constexpr std::uint8_t kDle = 0x10;
    constexpr std::uint8_t kEot = 0x04;
    std::vector<std::uint8_t> replies;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t n = bytes[i];
        if (beforeLast_ == kDle && last_ == kEot && n >= 1 && n <= 4) replies.push_back(kReadyStatus);
        beforeLast_ = last_;
        last_ = n;
    }
    return replies;
}

}  // namespace io

#include "io/status_responder.h"

#include "status_byte.h"

namespace io {

std::vector<std::uint8_t> StatusResponder::feed(const std::uint8_t* bytes, std::size_t count)
{
    std::vector<std::uint8_t> replies;
    // The requests of one chunk arrived together: the sensor is read once for
    // them, which also keeps a flood of requests from becoming a flood of reads.
    std::optional<Paper> paper;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t n = bytes[i];
        if (beforeLast_ == DLE && last_ == EOT && n >= 1 && n <= 4) {
            if (!paper) paper = sensor_.read();
            replies.push_back(statusReply(*paper, n));
        }
        beforeLast_ = last_;
        last_ = n;
    }
    return replies;
}

const PaperSensor& StatusResponder::defaultSensor()
{
    static const PaperSensor paperPresent;
    return paperPresent;
}

}  // namespace io

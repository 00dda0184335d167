// Answers real-time status requests (DLE EOT n) as bytes stream in, the way
// the printer does while it is still receiving a job.
#pragma once

#include "io/paper_sensor.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace io {

class StatusResponder {
public:
    explicit StatusResponder(const PaperSensor& sensor = defaultSensor()) : sensor_(sensor) {}

    // Returns the bytes to send back for this chunk; a request may be split
    // across chunks.
    std::vector<std::uint8_t> feed(const std::uint8_t* bytes, std::size_t count);

private:
    static const PaperSensor& defaultSensor();

    const PaperSensor& sensor_;
    std::uint8_t beforeLast_ = 0;
    std::uint8_t last_ = 0;
};

}  // namespace io

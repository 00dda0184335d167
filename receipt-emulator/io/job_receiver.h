// Reads one job from a connected descriptor, answering status requests.
#pragma once

#include "io/listen.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace io {

// Measures time since the last traffic against the idle timeout.
class IdleClock {
public:
    explicit IdleClock(double timeoutSeconds) : timeoutSeconds_(timeoutSeconds) { touch(); }
    void touch() { last_ = std::chrono::steady_clock::now(); }
    bool expired() const;

private:
    double timeoutSeconds_;
    std::chrono::steady_clock::time_point last_;
};

struct ReceivedJob {
    std::vector<std::uint8_t> bytes;
    bool stopAfter = false;  // a stop signal or the idle timeout ended it
};

// Polling slice: how often a waiting loop looks at the stop flag.
inline constexpr int kPollSliceMs = 100;

// Reads until the peer hangs up, the idle clock runs out or a stop is asked.
ReceivedJob receiveJob(int fd, IdleClock& idle);

void writeAll(int fd, const std::vector<std::uint8_t>& bytes);

}  // namespace io

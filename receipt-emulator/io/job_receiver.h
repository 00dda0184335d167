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

// Polling slice: how often a waiting loop looks at the stop flag.
inline constexpr int kPollSliceMs = 100;

// Reads until the peer hangs up, the idle clock runs out or a stop is asked
// (the job is then the last), at the settings' speed. fd must be
// non-blocking: status replies the peer does not take are dropped.
ArrivedJob receiveJob(int fd, IdleClock& idle, const ListenSettings& settings);

// Hands the job on, marked as the last when it is the settings' last job
// (served counting from 1); returns whether it was the last.
bool handOn(ArrivedJob job, int served, const ListenSettings& settings, const JobHandler& onJob);

// Writes what the descriptor takes without waiting; returns the number of
// bytes it would not take.
std::size_t writeWithoutWaiting(int fd, const std::vector<std::uint8_t>& bytes);

// Makes a descriptor's reads and writes return at once instead of waiting.
void makeNonBlocking(int fd);

}  // namespace io

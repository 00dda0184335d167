// Takes a job's bytes no faster than the printer's link would carry them.
#pragma once

#include <chrono>
#include <cstddef>

namespace io {

class Pacer {
public:
    // bytesPerSecond 0: no limit.
    explicit Pacer(double bytesPerSecond) : bytesPerSecond_(bytesPerSecond) {}

    // How many bytes may be taken now.
    std::size_t allowance() const;
    // Milliseconds to wait before a worthwhile number of bytes may be taken;
    // 0 when they may be taken now.
    int millisecondsToWait() const;
    // Counts bytes taken; the first ones start the clock.
    void took(std::size_t count);
    // From the first byte taken to the last; 0 before any.
    double secondsTaking() const;

private:
    using Clock = std::chrono::steady_clock;

    double secondsSinceStart() const;
    // Bytes worth waiting for: about 10 ms of the link, so that a slow link
    // does not cost a wake-up per byte.
    double batch() const;

    double bytesPerSecond_;
    std::size_t taken_ = 0;
    Clock::time_point start_;
    Clock::time_point last_;
};

}  // namespace io

#include "io/pacer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace io {

// One batch goes at once; t seconds after the first byte the link has
// carried bytesPerSecond * t more.
std::size_t Pacer::allowance() const
{
    if (bytesPerSecond_ <= 0) return std::numeric_limits<std::size_t>::max();
    const double carried = std::floor(batch() + (taken_ == 0 ? 0 : bytesPerSecond_ * secondsSinceStart()));
    return carried > double(taken_) ? std::size_t(carried - double(taken_)) : 0;
}

int Pacer::millisecondsToWait() const
{
    if (bytesPerSecond_ <= 0 || taken_ == 0) return 0;
    // A whole batch is due once the link has carried what was taken.
    const double due = double(taken_) / bytesPerSecond_ - secondsSinceStart();
    return due > 0 ? int(std::ceil(due * 1000)) : 0;
}

void Pacer::took(std::size_t count)
{
    if (count == 0) return;
    last_ = Clock::now();
    if (taken_ == 0) start_ = last_;
    taken_ += count;
}

double Pacer::secondsTaking() const
{
    return taken_ == 0 ? 0 : std::chrono::duration<double>(last_ - start_).count();
}

double Pacer::secondsSinceStart() const
{
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

double Pacer::batch() const
{
    return std::max(1.0, bytesPerSecond_ / 100);
}

}  // namespace io

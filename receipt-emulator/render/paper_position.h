// Where the paper stands, kept exactly: motion units rarely divide the dot
// pitch (1/180 inch is 203/180 dots), so each feed is added as a fraction
// and rows are printed at the whole dot row the paper has reached. Rounding
// each feed instead would let a receipt fed in many small steps drift.
#pragma once

#include <cstdint>

namespace render {

// A distance in dots: numerator / denominator, the denominator positive.
struct Distance {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;
};

inline Distance dots(int count) { return {count, 1}; }

class PaperPosition {
public:
    void advance(Distance distance);
    // The whole dot row the paper has reached.
    int row() const { return whole_; }
    // Stops the paper at this row (the end of the picture).
    void stopAt(int row);

private:
    int whole_ = 0;
    // The fraction of a row past whole_: fraction_ / denominator_, below 1.
    std::int64_t fraction_ = 0;
    std::int64_t denominator_ = 1;
};

}  // namespace render

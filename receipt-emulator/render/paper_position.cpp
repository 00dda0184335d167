#include "render/paper_position.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace render {
namespace {

// Denominators of a job's feeds divide its motion units (at most 255), so a
// job with a few units stays far below this. One that keeps switching units
// would make the common denominator grow without end; its fraction is then
// taken to the nearest multiple of 1/kMaxDenominator that the new unit
// divides, off by less than a millionth of a row each time.
constexpr std::int64_t kMaxDenominator = std::int64_t(1) << 24;

}  // namespace

void PaperPosition::advance(Distance distance)
{
    const std::int64_t gcd = std::gcd(denominator_, distance.denominator);
    if (denominator_ / gcd > kMaxDenominator / distance.denominator) {
        const std::int64_t coarser = kMaxDenominator / distance.denominator * distance.denominator;
        fraction_ = (fraction_ * coarser + denominator_ / 2) / denominator_;
        denominator_ = coarser;
    }
    const std::int64_t common = std::lcm(denominator_, distance.denominator);
    const std::int64_t sum = fraction_ * (common / denominator_) + distance.numerator * (common / distance.denominator);
    const std::int64_t rows = sum / common;
    const std::int64_t limit = std::numeric_limits<int>::max();
    whole_ = int(std::min<std::int64_t>(whole_ + rows, limit));
    fraction_ = sum % common;
    const std::int64_t reduce = std::gcd(fraction_, common);
    fraction_ /= reduce;
    denominator_ = common / reduce;
}

void PaperPosition::stopAt(int row)
{
    if (whole_ < row) return;
    whole_ = row;
    fraction_ = 0;
    denominator_ = 1;
}

}  // namespace render

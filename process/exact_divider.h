#pragma once

#include <cstdint>

namespace pm32 {

// Division truncating toward zero by a fixed positive divisor, done with one
// multiply and shift: m = ceil(2^k / d) with k = 29 + ceil(log2 d) is exact
// for every dividend of magnitude below 2^29, which covers any 5 x 5 sum of
// 16-bit weights times 8-bit values.
class ExactDivider {
  public:
    explicit ExactDivider(std::uint32_t divisor) {
        unsigned log = 0;
        while ((1ull << log) < divisor) ++log;
        shift_ = 29 + log;
        multiplier_ = ((1ull << shift_) + divisor - 1) / divisor;
    }

    std::int32_t operator()(std::int32_t dividend) const {
        std::uint64_t magnitude =
            dividend < 0 ? 0ull - static_cast<std::uint64_t>(static_cast<std::int64_t>(dividend))
                         : static_cast<std::uint64_t>(dividend);
        auto quotient = static_cast<std::int32_t>((magnitude * multiplier_) >> shift_);
        return dividend < 0 ? -quotient : quotient;
    }

  private:
    std::uint64_t multiplier_ = 1;
    unsigned shift_ = 0;
};

}  // namespace pm32

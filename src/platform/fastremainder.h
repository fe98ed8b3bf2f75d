#pragma once
#include <cstdint>

// x % d for any 64-bit x and a divisor fixed in advance (1 <= d < 2^32), by multiplications
// instead of a division. With M = ceil(2^128 / d), the low 128 bits of M * x are the fractional
// part of x / d scaled by 2^128, and that times d, divided by 2^128, is the remainder; the
// rounding of M is below 2^-64 of a unit, too little to reach the next integer.
class FastRemainder {
public:
    constexpr FastRemainder() = default;
    explicit constexpr FastRemainder(uint32_t divisor)
        : divisor_(divisor), multiplier_(divisor == 0 ? 0 : ~Wide{0} / divisor + 1) {}

    constexpr uint64_t of(uint64_t x) const {
        const Wide fraction = multiplier_ * x;
        const Wide low = static_cast<Wide>(static_cast<uint64_t>(fraction)) * divisor_;
        const Wide high = (fraction >> 64) * divisor_;
        return static_cast<uint64_t>((high + (low >> 64)) >> 64);
    }
    constexpr uint32_t divisor() const { return divisor_; }

private:
    using Wide = unsigned __int128;
    uint32_t divisor_ = 0;
    Wide multiplier_ = 0;
};

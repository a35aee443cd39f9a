#pragma once
// Line counts of combinations, computed without overflow: a selection of
// thousands of horses makes more lines than 64 bits can count, so counts are
// 128-bit and stick at the largest value instead of wrapping round.

#include <cstdint>
#include <string>

namespace torvanel {

using WideCount = unsigned __int128;

inline constexpr WideCount kWideCountMax = ~WideCount(0);

constexpr WideCount SaturatingAdd(WideCount a, WideCount b) {
    return a > kWideCountMax - b ? kWideCountMax : a + b;
}

constexpr WideCount SaturatingMul(WideCount a, WideCount b) {
    if (a == 0 || b == 0) return 0;
    return a > kWideCountMax / b ? kWideCountMax : a * b;
}

// Number of ways to take `take` of `n` items; 0 when n < take.
constexpr WideCount Binomial(std::uint64_t n, std::uint64_t take) {
    if (take > n) return 0;
    if (take > n - take) take = n - take;
    WideCount result = 1;
    for (std::uint64_t i = 0; i < take; ++i) {
        // result * (n - i) is divisible by (i + 1); dividing first where
        // possible keeps the product small.
        const WideCount factor = n - i;
        const WideCount divisor = i + 1;
        if (result <= UINT64_MAX / factor) {  // common case: 64-bit arithmetic is enough
            result = static_cast<std::uint64_t>(result) * static_cast<std::uint64_t>(factor) /
                     static_cast<std::uint64_t>(divisor);
            continue;
        }
        if (result == kWideCountMax) return kWideCountMax;
        if (result % divisor == 0) {
            result = SaturatingMul(result / divisor, factor);
        } else {
            const WideCount product = SaturatingMul(result, factor);
            if (product == kWideCountMax) return kWideCountMax;
            result = product / divisor;
        }
    }
    return result;
}

constexpr std::uint64_t ClampTo64(WideCount value) {
    return value > UINT64_MAX ? UINT64_MAX : static_cast<std::uint64_t>(value);
}

// Plain decimal digits, no separator.
inline std::string DecimalText(WideCount value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

}  // namespace torvanel

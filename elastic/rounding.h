#pragma once
// The three rounding rules of the scaling. Each saturates at the int range and maps NaN to
// 0, so that a ratio from a degenerate size (or a hostile persistence file) can never
// produce undefined behaviour.

#include <climits>
#include <cmath>

namespace elastic {

namespace detail {
inline int saturate(double x) {
    if (std::isnan(x)) return 0;
    if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(x);
}
}  // namespace detail

// To the nearest integer, a half to the even neighbour: 2.5 gives 2, 3.5 gives 4.
inline int RoundEven(double x) {
    if (std::isnan(x)) return 0;
    const double whole = std::floor(x);
    const double fraction = x - whole;
    double result = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) result += 1.0;
    return detail::saturate(result);
}

// Towards zero.
inline int Trunc(double x) { return detail::saturate(std::trunc(x)); }

// Trunc(x) + 1 when the fractional part is greater than 0.5, else Trunc(x): 8.5 gives 8,
// 8.51 gives 9; a negative x gives Trunc(x).
inline int RoundHalfDown(double x) {
    const double whole = std::trunc(x);
    if (x > 0 && x - whole > 0.5) return detail::saturate(whole + 1.0);
    return detail::saturate(whole);
}

}  // namespace elastic

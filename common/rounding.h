#pragma once
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pelk {

// Trunc: toward zero. Values beyond the 64-bit range saturate instead of overflowing.
inline long long truncToInt(long double x) {
  if (std::isnan(x)) return 0;
  constexpr long double kMax = 9.2e18L;
  if (x >= kMax) return std::numeric_limits<long long>::max();
  if (x <= -kMax) return std::numeric_limits<long long>::min();
  return static_cast<long long>(x);
}

// Round: to the nearest integer, exact halves to the even neighbour (Round(2.5) = 2).
inline long long roundEven(long double x) {
  if (std::isnan(x)) return 0;
  constexpr long double kMax = 9.2e18L;
  if (x >= kMax) return std::numeric_limits<long long>::max();
  if (x <= -kMax) return std::numeric_limits<long long>::min();
  long double r = x - std::floor(x);
  long double f = std::floor(x);
  if (r > 0.5L) return static_cast<long long>(f) + 1;
  if (r < 0.5L) return static_cast<long long>(f);
  long long fi = static_cast<long long>(f);
  return (fi % 2 == 0) ? fi : fi + 1;
}

// Round(num / den) for integers, ties to even, computed exactly (den > 0). Used for the
// products the system defines on decimal factors, taken in integer thousandths or millionths.
inline long long roundDivEven(long long num, long long den) {
  long long q = num / den;
  long long r = num % den;
  if (r < 0) {
    r += den;
    --q;
  }
  // now num = q * den + r with 0 <= r < den
  long long twice = 2 * r;
  if (twice > den || (twice == den && (q % 2 != 0))) ++q;
  return q;
}

}  // namespace pelk

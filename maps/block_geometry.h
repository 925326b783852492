#pragma once
#include <cstdint>
#include <limits>
#include <string>

#include "common/rounding.h"

namespace pelk {

// A block's size on the picture: the picture's width or height over 100, formed in extended
// precision and kept as a double.
inline double hundredthOf(int size) {
  return static_cast<double>(static_cast<long double>(size) / 100);
}

// Trunc of a picture coordinate, held to the int range (far-off positions are clipped anyway).
inline int picturePosition(long double v) {
  const long long t = truncToInt(v);
  if (t > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (t < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(t);
}

// The picture colour of a block score: Trunc(score) taken to its low 24 bits (two's complement
// for a negative score), so a score past 0xFFFFFF still gives a colour. 0 for a non-finite score.
std::uint32_t scoreColor(double score);

// The score itself, or IoError when it overflowed: only maps holding absurd sums produce that,
// and a score of infinity can be neither drawn nor written. `mapName` names the maps.
double checkedScore(double score, const std::string& mapName);

}  // namespace pelk

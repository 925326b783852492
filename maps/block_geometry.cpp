#include "maps/block_geometry.h"

#include <cmath>

#include "common/io_error.h"

namespace pelk {

std::uint32_t scoreColor(double score) {
  if (!std::isfinite(score)) return 0;
  constexpr long double kColours = 16777216.0L;
  // Nearly every score is already a colour: its whole part is the answer.
  if (score >= 0.0 && score < 16777216.0) return static_cast<std::uint32_t>(score);
  long double low = std::fmod(std::trunc(static_cast<long double>(score)), kColours);
  if (low < 0) low += kColours;
  return static_cast<std::uint32_t>(low);
}

double checkedScore(double score, const std::string& mapName) {
  if (!std::isfinite(score)) throw IoError("Block score out of range: " + mapName);
  return score;
}

}  // namespace pelk

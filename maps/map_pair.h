#pragma once
#include <string>
#include <utility>

#include "common/text_reader.h"

namespace pelk {

// Two intensity maps read side by side, block by block, each only as far as the comparison goes.
// Both are positioned past their two heading lines and block row 0, which the block comparisons
// never use.
class MapPair {
 public:
  // How a number missing at the end of a map reads.
  enum class AtEnd { ReadZero, Fail };

  MapPair(const std::string& first, const std::string& second, AtEnd atEnd);

  // The next number of the first map and of the second, in that order.
  std::pair<double, double> next();
  // Moves both maps past the rest of their current lines.
  void endRow();

  const std::string& firstName() const { return first_.name(); }

 private:
  double read(TextReader& map);

  TextReader first_;
  TextReader second_;
  AtEnd atEnd_;
};

}  // namespace pelk

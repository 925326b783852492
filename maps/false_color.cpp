#include "common/picture.h"
#include "maps/block_geometry.h"
#include "maps/map_pair.h"
#include "maps/tform104.h"

namespace pelk {
namespace {

constexpr int kBlocks = 101;
constexpr long double kXOffset = 25.0L;  // this walk sits 12.5 pixels right of the highlight grid

}  // namespace

void paintFalseColor(TForm104& module, Picture& view, const std::string& standardMap,
                     const std::string& referenceMap) {
  // Unlike the other map readers, this walk needs all 101 x 101 blocks: a map that ends early is
  // an error rather than a run of zero blocks.
  MapPair maps(standardMap, referenceMap, MapPair::AtEnd::Fail);
  const double ws = hundredthOf(view.width());
  const double hs = hundredthOf(view.height());
  for (int n = kBlocks - 1; n >= 0; --n) {
    for (int i = 0; i < kBlocks; ++i) {
      const auto [a, b] = maps.next();
      const double score = checkedScore(blockScore(a, b), standardMap);
      const int x = picturePosition(static_cast<long double>(i) * ws - kXOffset);
      const int y = picturePosition(static_cast<long double>(n) * hs);
      view.setPixel(x, y, scoreColor(score));
      module.addPoint(x, y, score);
    }
    maps.endRow();
  }
  module.reportResults();
}

}  // namespace pelk

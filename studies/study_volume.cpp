#include "studies/study_volume.h"

namespace pelk {

StudyVolume sameGrid(const StudyVolume& grid, float fill) {
  StudyVolume volume;
  volume.size = grid.size;
  volume.spacingMm = grid.spacingMm;
  volume.originMm = grid.originMm;
  volume.axes = grid.axes;
  volume.values.assign(static_cast<std::size_t>(grid.voxelCount()), fill);
  return volume;
}

}  // namespace pelk

#include "importers/grey_slice.h"

#include <string>

#include "common/io_error.h"

namespace pelk {

GreySlice greySlice(const ScanVolume& volume, std::int64_t index, const SliceLayout& layout,
                    const IntensityWindow& window) {
  const auto axis = static_cast<std::size_t>(volume.sliceAxis);
  if (index < 0 || index >= volume.size[axis])
    throw IoError("Slice " + std::to_string(index) + " is out of range: the scan has " +
                  std::to_string(volume.size[axis]) + " slices (0 to " +
                  std::to_string(volume.size[axis] - 1) + ")");

  const std::array<std::int64_t, 3> stride{1, volume.size[0], volume.size[0] * volume.size[1]};
  const auto across = static_cast<std::size_t>(layout.across);
  const auto down = static_cast<std::size_t>(layout.down);

  GreySlice slice;
  slice.width = static_cast<int>(volume.size[across]);
  slice.height = static_cast<int>(volume.size[down]);
  slice.spacingAcrossMm = volume.spacingMm[across];
  slice.spacingDownMm = volume.spacingMm[down];
  slice.grey.resize(static_cast<std::size_t>(slice.width) * static_cast<std::size_t>(slice.height));

  const std::int64_t base = index * stride[axis];
  std::size_t out = 0;
  for (int row = 0; row < slice.height; ++row) {
    const std::int64_t r = layout.flipDown ? slice.height - 1 - row : row;
    for (int col = 0; col < slice.width; ++col) {
      const std::int64_t c = layout.flipAcross ? slice.width - 1 - col : col;
      const float value =
          volume.values[static_cast<std::size_t>(base + r * stride[down] + c * stride[across])];
      const float level = greyLevel(value, window);
      slice.grey[out++] = volume.invertGrey ? 255.0f - level : level;
    }
  }
  return slice;
}

}  // namespace pelk

#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace pelk {

// The most voxels a scan may hold: 64 Mi values (256 MiB as floats) covers a 512 x 512 x 256
// volume with room to spare, and keeps a lying header from asking for gigabytes.
inline constexpr std::int64_t kMaxScanVoxels = std::int64_t{1} << 26;
// The most pixels along one side of a slice.
inline constexpr std::int64_t kMaxScanSide = 65535;

// a * b, or nothing when it would pass kMaxScanVoxels (both factors >= 0).
inline std::optional<std::int64_t> boundedProduct(std::int64_t a, std::int64_t b) {
  if (a < 0 || b < 0) return std::nullopt;
  if (a != 0 && b > kMaxScanVoxels / a) return std::nullopt;
  return a * b;
}

}  // namespace pelk

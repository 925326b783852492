#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelk {

// A synthetic axial head slice in the nominal scan format: 512 x 512 grey levels, a skull ring
// around a brain of grey and white matter with two ventricles, under smooth noise. The same
// seed gives the same scan on every machine.
inline constexpr int kSampleSize = 512;

// A round bright lesion added to the scan: centre and radius in pixels (x right, y down, on
// the picture), and the grey levels it adds at its core.
struct SampleLesion {
  double centerX = 0.0;
  double centerY = 0.0;
  double radius = 0.0;
  double boost = 0.0;
};

// Row-major grey levels, top row of the picture first.
std::vector<std::uint8_t> syntheticHead(std::uint32_t seed,
                                        const std::optional<SampleLesion>& lesion);

// The bytes of an 8-bit grey bitmap in the nominal layout: 1078-byte header with a grey
// palette, rows stored bottom-up without padding (the width must be a multiple of 4).
std::string grayBmpBytes(int width, int height, const std::vector<std::uint8_t>& topDownPixels);

}  // namespace pelk

#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "progression/robust_tpa.h"

namespace pelk {

// Overlay colours, 0x00BBGGRR like the image view's.
inline constexpr std::uint32_t kGrowthColour = 0x0000FFu;      // red: lesion in follow-up 2 only
inline constexpr std::uint32_t kShrinkageColour = 0xFF8000u;   // blue: lesion in follow-up 1 only
inline constexpr std::uint32_t kPersistentColour = 0x00FFFFu;  // yellow: lesion in both

// The baseline in grey with growth, shrinkage and persisting lesions blended in colour, half
// and half so the anatomy under them stays readable. Picture order, width × height colours.
std::vector<std::uint32_t> progressionPicture(const RobustTpaResult& result);

// An uncompressed 24-bit bitmap of the colours (picture order, 0x00BBGGRR), rows stored
// bottom-up and padded to 4 bytes. A positive spacing goes into the resolution fields.
std::string bitmap24Bytes(int width, int height, const std::vector<std::uint32_t>& colours,
                          double mmPerPixelX = 0.0, double mmPerPixelY = 0.0);

}  // namespace pelk

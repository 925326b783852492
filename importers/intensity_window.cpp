#include "importers/intensity_window.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "common/io_error.h"

namespace pelk {
namespace {

// The value at fraction p of the sorted data, interpolating between neighbouring ranks. Only
// the ranks needed are put in place, not the whole volume sorted; everything before `from` must
// already be in place and no greater than the rest, so a second, higher percentile only
// partitions what lies above the first.
double percentile(std::vector<float>& data, double p, std::size_t from = 0) {
  const double position = p * static_cast<double>(data.size() - 1);
  const auto below = std::max(from, static_cast<std::size_t>(std::floor(position)));
  const auto at = [&](std::size_t i) { return data.begin() + static_cast<std::ptrdiff_t>(i); };
  std::nth_element(at(from), at(below), data.end());
  const double lowValue = data[below];
  if (below + 1 >= data.size()) return lowValue;
  const double highValue = *std::min_element(at(below + 1), data.end());
  return lowValue + (position - static_cast<double>(below)) * (highValue - lowValue);
}

double parseNumber(std::string_view text, std::string_view whole) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
    throw IoError("Invalid window \"" + std::string(whole) +
                  "\": expected MIN:MAX, such as 20:180");
  return value;
}

}  // namespace

IntensityWindow robustWindow(std::span<const float> values) {
  std::vector<float> tissue;
  tissue.reserve(values.size());
  for (float v : values)
    if (v != 0.0f && std::isfinite(v)) tissue.push_back(v);
  if (tissue.empty()) return {0.0, 1.0};
  const double low = percentile(tissue, 0.01);
  const auto lowRank =
      static_cast<std::size_t>(std::floor(0.01 * static_cast<double>(tissue.size() - 1)));
  const double high = percentile(tissue, 0.995, lowRank);
  return {low, high};
}

IntensityWindow windowFromCentreWidth(double centre, double width) {
  const double half = (width - 1.0) / 2.0;
  return {centre - 0.5 - half, centre - 0.5 + half};
}

IntensityWindow parseWindowText(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos)
    throw IoError("Invalid window \"" + std::string(text) + "\": expected MIN:MAX, such as 20:180");
  IntensityWindow window{parseNumber(text.substr(0, colon), text),
                         parseNumber(text.substr(colon + 1), text)};
  if (!(window.low < window.high))
    throw IoError("Invalid window \"" + std::string(text) + "\": MIN must be below MAX");
  return window;
}

float greyLevel(float value, const IntensityWindow& window) {
  if (std::isnan(value)) return 0.0f;
  if (!(window.high > window.low)) return value < window.low ? 0.0f : 255.0f;
  const double level = (value - window.low) / (window.high - window.low) * 255.0;
  return static_cast<float>(std::clamp(level, 0.0, 255.0));
}

}  // namespace pelk

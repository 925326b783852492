#include "tools/synthetic_head.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "common/bmp_writer.h"

namespace pelk {
namespace {

constexpr double kCentreX = 256.0;
constexpr double kCentreY = 262.0;

// Grey levels of the tissues, T1-like: white matter brighter than grey, fluid dark.
constexpr double kScalp = 95.0;
constexpr double kSkull = 205.0;
constexpr double kFluid = 38.0;
constexpr double kGrey = 112.0;
constexpr double kWhite = 158.0;
constexpr double kVentricle = 30.0;

// 0 outside, 1 inside, a smooth ramp about 1.5 pixels wide at the border (partial volume).
double inside(double signedDistance) {
  double t = std::clamp(0.5 - signedDistance / 1.5, 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Signed distance-like measure to an ellipse border (negative inside), in pixels near it.
double ellipseDistance(double x, double y, double cx, double cy, double ax, double ay) {
  double dx = (x - cx) / ax;
  double dy = (y - cy) / ay;
  return (std::sqrt(dx * dx + dy * dy) - 1.0) * std::min(ax, ay);
}

// Smooth noise: random values on a coarse lattice, interpolated bilinearly. The raw generator
// output is mapped by hand, since the library's distributions differ between implementations.
class ValueNoise {
 public:
  ValueNoise(std::mt19937& random, int spacing, double amplitude)
      : spacing_(spacing), cells_(kSampleSize / spacing + 2) {
    values_.resize(static_cast<std::size_t>(cells_) * cells_);
    for (double& v : values_) {
      double unit = static_cast<double>(random()) / 4294967295.0;  // 0..1
      v = (unit * 2.0 - 1.0) * amplitude;
    }
  }
  double at(int x, int y) const {
    double gx = static_cast<double>(x) / spacing_;
    double gy = static_cast<double>(y) / spacing_;
    int ix = static_cast<int>(gx);
    int iy = static_cast<int>(gy);
    double fx = gx - ix;
    double fy = gy - iy;
    double top = lerp(value(ix, iy), value(ix + 1, iy), fx);
    double bottom = lerp(value(ix, iy + 1), value(ix + 1, iy + 1), fx);
    return lerp(top, bottom, fy);
  }

 private:
  static double lerp(double a, double b, double t) { return a + (b - a) * t; }
  double value(int ix, int iy) const { return values_[static_cast<std::size_t>(iy) * cells_ + ix]; }
  int spacing_;
  int cells_;
  std::vector<double> values_;
};

double tissueAt(double x, double y) {
  double angle = std::atan2(y - kCentreY, x - kCentreX);
  double value = 0.0;
  value += kScalp * inside(ellipseDistance(x, y, kCentreX, kCentreY, 200, 236));
  double skull = inside(ellipseDistance(x, y, kCentreX, kCentreY, 192, 228));
  value += (kSkull - kScalp) * skull;
  double fluid = inside(ellipseDistance(x, y, kCentreX, kCentreY, 180, 216));
  value += (kFluid - kSkull) * fluid;
  // The cortex folds: the grey matter border and the white matter border wave with angle.
  double fold = 1.0 + 0.025 * std::sin(9.0 * angle) + 0.015 * std::sin(17.0 * angle + 1.3);
  double grey = inside(ellipseDistance(x, y, kCentreX, kCentreY, 175 * fold, 211 * fold));
  value += (kGrey - kFluid) * grey;
  double gyri = 1.0 + 0.07 * std::sin(11.0 * angle + 0.4) + 0.04 * std::sin(23.0 * angle);
  double white = inside(ellipseDistance(x, y, kCentreX, kCentreY, 138 * gyri, 172 * gyri));
  value += (kWhite - kGrey) * white;
  // Two ventricles, tilted apart like a butterfly.
  for (double side : {-1.0, 1.0}) {
    double cx = kCentreX + side * 19.0;
    double cy = kCentreY - 18.0;
    double tilt = side * 0.25;
    double rx = std::cos(tilt) * (x - cx) + std::sin(tilt) * (y - cy);
    double ry = -std::sin(tilt) * (x - cx) + std::cos(tilt) * (y - cy);
    double ventricle = inside(ellipseDistance(rx, ry, 0, 0, 11, 42));
    value += (kVentricle - kWhite) * ventricle * white;
  }
  return value;
}

}  // namespace

std::vector<std::uint8_t> syntheticHead(std::uint32_t seed,
                                        const std::optional<SampleLesion>& lesion) {
  std::mt19937 random(seed);
  ValueNoise coarse(random, 32, 7.0);
  ValueNoise fine(random, 8, 3.0);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kSampleSize) * kSampleSize);
  for (int y = 0; y < kSampleSize; ++y) {
    for (int x = 0; x < kSampleSize; ++x) {
      double value = tissueAt(x + 0.5, y + 0.5);
      double body = value > 4.0 ? 1.0 : value / 4.0;
      value += body * (coarse.at(x, y) + fine.at(x, y));
      if (lesion) {
        double d = std::hypot(x + 0.5 - lesion->centerX, y + 0.5 - lesion->centerY);
        value += lesion->boost * inside(d - lesion->radius);
      }
      value = std::clamp(std::round(value), 0.0, 255.0);
      pixels[static_cast<std::size_t>(y) * kSampleSize + x] = static_cast<std::uint8_t>(value);
    }
  }
  return pixels;
}

std::string grayBmpBytes(int width, int height, const std::vector<std::uint8_t>& topDownPixels) {
  constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
  // The rows are not padded: the samples are 512 pixels wide.
  const std::uint32_t imageSize =
      static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
  std::string bytes;
  bytes.reserve(kGreyBmpPixelOffset + imageSize);
  appendBmpHeader(bytes, {.width = width,
                          .height = height,
                          .pixelBytes = imageSize,
                          .xPixelsPerMetre = kPixelsPerMetre,
                          .yPixelsPerMetre = kPixelsPerMetre});
  for (int row = height - 1; row >= 0; --row) {
    const auto* start = topDownPixels.data() + static_cast<std::size_t>(row) * width;
    bytes.append(reinterpret_cast<const char*>(start), static_cast<std::size_t>(width));
  }
  return bytes;
}

}  // namespace pelk

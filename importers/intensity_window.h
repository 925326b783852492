#pragma once
#include <span>
#include <string>
#include <string_view>

namespace pelk {

// The range of scan values spread over the grey levels 0..255: `low` and below is black,
// `high` and above is white, linear in between.
struct IntensityWindow {
  double low = 0.0;
  double high = 0.0;
};

// Where the window that was used came from, for the import summary.
enum class WindowSource { File, Robust, Explicit };

// The robust window: the 1st to the 99.5th percentile of the non-zero values. Zero is left out
// because scanners fill everything outside the body with it, and a slice of mostly air would
// otherwise squeeze the tissue into a few grey levels. With no non-zero value the window is
// 0..1, so an empty scan comes out black.
IntensityWindow robustWindow(std::span<const float> values);

// A DICOM window centre and width (width >= 1) as the equivalent low/high pair: the standard's
// linear function maps centre - 0.5 - (width - 1) / 2 to black and centre - 0.5 + (width - 1) / 2
// to white.
IntensityWindow windowFromCentreWidth(double centre, double width);

// "MIN:MAX" as typed by a user; MIN must be below MAX. Throws IoError with a clear reason.
IntensityWindow parseWindowText(std::string_view text);

// A value's grey level, unrounded, in [0, 255]. A window with high <= low is a threshold:
// values below low are black, the rest white.
float greyLevel(float value, const IntensityWindow& window);

}  // namespace pelk

#pragma once
#include <string>
#include <vector>

#include "studies/study_volume.h"

namespace pelk {

// What the header of one file of a series says about where its slice lies.
struct SeriesSlice {
  std::string file;
  Vec3 position{};  // Image Position (Patient): the centre of the first pixel, mm
  Vec3 across{};    // Image Orientation (Patient): direction along a row
  Vec3 down{};      //   and down a column
  int rows = 0;
  int columns = 0;
};

// The slices of one series in order along the slice normal, and the distance between them.
struct OrderedSeries {
  std::vector<SeriesSlice> slices;
  double stepMm = 0.0;
};

// Sorts the slices by Image Position along the normal (across × down). Throws IoError, naming
// `where`, for slices of different sizes or orientations, two slices at the same position, or
// uneven steps (a missing slice); a single slice is not a volume.
OrderedSeries orderSeries(std::vector<SeriesSlice> slices, const std::string& where);

// Reads the series with the most image files in `folder` (files directly in it); `chosen` tells
// which, when the folder held several.
StudyVolume readDicomSeries(const std::string& folder);

// Reads one multi-frame DICOM file as a volume.
StudyVolume readDicomVolume(const std::string& path);

}  // namespace pelk

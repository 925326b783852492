#include "studies/dicom_series.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "common/io_error.h"
#include "importers/gdcm_module.h"
#include "studies/study_reader.h"

namespace pelk {
namespace {

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// "a\b\c" as numbers; fewer than `count` readable numbers is nothing.
std::vector<double> numbers(const std::optional<std::string>& text, std::size_t count) {
  std::vector<double> out;
  if (!text) return out;
  std::string s(*text);
  std::replace(s.begin(), s.end(), '\\', ' ');
  std::istringstream in(s);
  in.imbue(std::locale::classic());
  double v = 0;
  while (out.size() < count && in >> v) out.push_back(v);
  if (out.size() < count) out.clear();
  return out;
}

// Decodes a DICOM image file (any transfer syntax the toolkit reads, JPEG 2000 included) and
// appends its voxels to `out`.
GdcmImageGeometry decodeInto(const std::string& path, std::vector<float>& out) {
  GdcmImageGeometry geometry;
  callModule(gdcmModule().decodeImage, path, kMaxStudySide, kMaxStudyBytes, geometry, out);
  return geometry;
}

}  // namespace

OrderedSeries orderSeries(std::vector<SeriesSlice> slices, const std::string& where) {
  if (slices.size() < 2)
    throw IoError("Not a volume: " + where + " holds a single slice (a 2-D image)");
  const SeriesSlice& first = slices.front();
  const Vec3 normal = cross(first.across, first.down);
  for (const auto& s : slices) {
    if (s.rows != first.rows || s.columns != first.columns)
      throw IoError("Mixed slice sizes in " + where + ": " + std::to_string(first.columns) + " x " +
                    std::to_string(first.rows) + " and " + std::to_string(s.columns) + " x " +
                    std::to_string(s.rows) + " (" + s.file + ")");
    if (dot(s.across, first.across) < 0.9999 || dot(s.down, first.down) < 0.9999)
      throw IoError("Mixed slice orientations in " + where + " (" + s.file + ")");
  }
  std::stable_sort(slices.begin(), slices.end(), [&](const SeriesSlice& a, const SeriesSlice& b) {
    return dot(a.position, normal) < dot(b.position, normal);
  });
  std::vector<double> steps;
  for (std::size_t i = 1; i < slices.size(); ++i) {
    const double step = dot(slices[i].position, normal) - dot(slices[i - 1].position, normal);
    if (step < 1e-3)
      throw IoError("Duplicate slice position in " + where + ": " + slices[i - 1].file + " and " +
                    slices[i].file);
    steps.push_back(step);
  }
  std::vector<double> sorted = steps;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                   sorted.end());
  const double step = sorted[sorted.size() / 2];
  // Scanners round positions to a few decimals; anything more uneven is a missing slice.
  for (std::size_t i = 0; i < steps.size(); ++i)
    if (std::fabs(steps[i] - step) > std::max(0.01, 0.05 * step)) {
      std::ostringstream text;
      text.imbue(std::locale::classic());
      text << "Gap between slices in " << where << ": " << steps[i] << " mm between "
           << slices[i].file << " and " << slices[i + 1].file << " where the series steps " << step
           << " mm";
      throw IoError(text.str());
    }
  return {std::move(slices), step};
}

StudyVolume readDicomSeries(const std::string& folder) {
  std::vector<GdcmScannedFile> files;
  callModule(gdcmModule().scanFolder, folder, files);

  std::map<std::string, std::vector<SeriesSlice>> series;
  for (const GdcmScannedFile& scanned : files) {
    const std::string& file = scanned.file;
    const auto rows = numbers(scanned.rows, 1);
    const auto columns = numbers(scanned.columns, 1);
    if (rows.empty() || columns.empty()) continue;  // not an image (a report, a DICOMDIR)
    const auto position = numbers(scanned.position, 3);
    const auto cosines = numbers(scanned.orientation, 6);
    if (position.empty() || cosines.empty())
      throw IoError("DICOM image without Image Position or Orientation (Patient): " + file);
    SeriesSlice slice{file,
                      {position[0], position[1], position[2]},
                      {cosines[0], cosines[1], cosines[2]},
                      {cosines[3], cosines[4], cosines[5]},
                      static_cast<int>(rows[0]),
                      static_cast<int>(columns[0])};
    series[scanned.seriesUid.value_or("")].push_back(slice);
  }
  if (series.empty()) throw IoError("No DICOM image in folder " + folder);

  auto chosen = series.begin();
  for (auto it = series.begin(); it != series.end(); ++it)
    if (it->second.size() > chosen->second.size()) chosen = it;
  const std::string uid = chosen->first;
  OrderedSeries ordered = orderSeries(std::move(chosen->second), "DICOM folder " + folder);

  StudyVolume volume;
  GdcmImageGeometry first;
  for (std::size_t i = 0; i < ordered.slices.size(); ++i) {
    const GdcmImageGeometry d = decodeInto(ordered.slices[i].file, volume.values);
    if (d.dims[2] != 1 || static_cast<int>(d.dims[0]) != ordered.slices[i].columns ||
        static_cast<int>(d.dims[1]) != ordered.slices[i].rows)
      throw IoError("Not a single slice of the series: " + ordered.slices[i].file);
    if (i == 0) first = d;
  }
  const SeriesSlice& s0 = ordered.slices.front();
  volume.size = {s0.columns, s0.rows, static_cast<std::int64_t>(ordered.slices.size())};
  volume.spacingMm = {first.spacing[0], first.spacing[1], ordered.stepMm};
  volume.originMm = s0.position;
  volume.axes = {s0.across, s0.down, cross(s0.across, s0.down)};
  volume.description = "DICOM series " + (uid.empty() ? std::string("without UID") : uid) + " (" +
                       std::to_string(ordered.slices.size()) + " slices";
  if (series.size() > 1)
    volume.description +=
        "; the largest of " + std::to_string(series.size()) + " series in the folder";
  volume.description += ")";
  checkStudy(volume, folder);
  return volume;
}

StudyVolume readDicomVolume(const std::string& path) {
  StudyVolume volume;
  const GdcmImageGeometry d = decodeInto(path, volume.values);
  if (d.dimensionCount < 3 || d.dims[2] < 2)
    throw IoError("Not a volume: " + path +
                  " is a single 2-D DICOM image; give the folder of its series");
  volume.size = {d.dims[0], d.dims[1], d.dims[2]};
  volume.spacingMm = {d.spacing[0], d.spacing[1], d.spacing[2]};
  volume.originMm = {d.origin[0], d.origin[1], d.origin[2]};
  const Vec3 across{d.cosines[0], d.cosines[1], d.cosines[2]};
  const Vec3 down{d.cosines[3], d.cosines[4], d.cosines[5]};
  volume.axes = {across, down, cross(across, down)};
  volume.description = "DICOM multi-frame file (" + std::to_string(d.dims[2]) + " frames)";
  checkStudy(volume, path);
  return volume;
}

}  // namespace pelk

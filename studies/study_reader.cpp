#include "studies/study_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>

#include <nifti2_io.h>

#include "common/io_error.h"
#include "importers/nifti_reader.h"
#include "studies/dicom_series.h"

namespace pelk {
namespace {

bool endsWith(std::string name, const std::string& suffix) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct HeaderFree {
  void operator()(nifti_image* image) const { nifti_image_free(image); }
};

double millimetresPer(int units) {
  switch (units) {
    case NIFTI_UNITS_METER: return 1000.0;
    case NIFTI_UNITS_MICRON: return 0.001;
    default: return 1.0;
  }
}

// The geometry the voxel reader does not keep: the number of dimensions, the raw spacing and the
// position of the first voxel. sform first, then qform, then the bare voxel sizes, as the format
// orders them; the format's RAS world becomes the workbench's patient frame by negating x and y.
StudyVolume niftiGeometry(const std::string& path) {
  nifti_set_debug_level(0);
  std::unique_ptr<nifti_image, HeaderFree> header(nifti_image_read(path.c_str(), 0));
  if (!header) throw IoError("Cannot read NIfTI file " + path + ": the header is not valid");
  std::int64_t dims = header->dim[0];
  while (dims > 3 && header->dim[dims] == 1) --dims;
  if (dims < 3 || header->dim[3] <= 1)
    throw IoError("Not a volume: " + path + " is a 2-D image");
  if (dims > 3)
    throw IoError("Not a single volume: " + path + " is a " + std::to_string(dims) +
                  "-D image; a study is one 3-D volume");

  StudyVolume geometry;
  const double unit = millimetresPer(header->xyz_units);
  for (std::size_t i = 0; i < 3; ++i) {
    geometry.size[i] = header->dim[i + 1];
    geometry.spacingMm[i] = header->pixdim[i + 1] * unit;
  }
  const nifti_dmat44* matrix = header->sform_code > 0   ? &header->sto_xyz
                               : header->qform_code > 0 ? &header->qto_xyz
                                                        : nullptr;
  if (matrix) {
    for (std::size_t a = 0; a < 3; ++a) {
      Vec3 d{-matrix->m[0][a], -matrix->m[1][a], matrix->m[2][a]};
      const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      if (!(length > 1e-12) || !std::isfinite(length))
        throw IoError("Cannot read NIfTI file " + path + ": its orientation matrix is degenerate");
      for (auto& v : d) v /= length;
      geometry.axes[a] = d;
    }
    geometry.originMm = {-matrix->m[0][3] * unit, -matrix->m[1][3] * unit, matrix->m[2][3] * unit};
  } else {
    geometry.axes = {Vec3{-1, 0, 0}, Vec3{0, -1, 0}, Vec3{0, 0, 1}};
  }
  return geometry;
}

StudyVolume readNiftiStudy(const std::string& path) {
  StudyVolume volume = niftiGeometry(path);
  // Before any voxel is read: a lying header must not make the reader allocate gigabytes.
  checkStudy(volume, path);
  ScanVolume scan = readNiftiScan(path);
  volume.values = std::move(scan.values);
  volume.description = scan.format + " volume";
  checkStudy(volume, path);
  return volume;
}

}  // namespace

void checkStudy(const StudyVolume& volume, const std::string& path) {
  const auto& n = volume.size;
  const std::string shape =
      std::to_string(n[0]) + " x " + std::to_string(n[1]) + " x " + std::to_string(n[2]);
  for (const auto side : n)
    if (side < 1 || side > kMaxStudySide)
      throw IoError("Study " + path + " is " + shape + " voxels; each side must be 1 to " +
                    std::to_string(kMaxStudySide));
  if (n[0] * n[1] * n[2] * static_cast<std::int64_t>(sizeof(float)) > kMaxStudyBytes)
    throw IoError("Study " + path + " is " + shape + " voxels, over 2 GB");
  for (const double s : volume.spacingMm)
    if (!(s > 0) || !std::isfinite(s))
      throw IoError("Study " + path + " has a zero, negative or invalid voxel spacing");
  if (volume.values.empty()) return;  // geometry only
  if (volume.values.size() != static_cast<std::size_t>(volume.voxelCount()))
    throw IoError("Study " + path + " holds fewer voxels than its size says");
  const auto bad = std::count_if(volume.values.begin(), volume.values.end(),
                                 [](float v) { return !std::isfinite(v); });
  if (bad > 0)
    throw IoError("Study " + path + " has " + std::to_string(bad) +
                  " voxels that are not finite numbers (NaN or infinite)");
}

StudyVolume readStudy(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) throw IoError("File not found: " + path);
  if (std::filesystem::is_directory(status)) return readDicomSeries(path);
  const auto bytes = std::filesystem::file_size(path, ec);
  if (!ec && bytes > static_cast<std::uintmax_t>(kMaxStudyBytes))
    throw IoError("Study " + path + " is over 2 GB");
  if (endsWith(path, ".nii") || endsWith(path, ".nii.gz")) return readNiftiStudy(path);
  return readDicomVolume(path);
}

}  // namespace pelk

#include "studies/study_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include <nifti2_io.h>

#include "common/io_error.h"
#include "importers/nifti_reader.h"
#include "studies/dicom_series.h"

namespace pelk {
namespace {

bool endsWith(std::string name, const std::string& suffix) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name.size() >= suffix.size() &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct HeaderFree {
  void operator()(nifti_image* image) const { nifti_image_free(image); }
};

// What the voxel reader repairs silently and a study must not: its library replaces a spacing
// of zero or below with 1 and non-finite reals with 0. So the raw header and, for real voxel
// types, the raw voxels are looked at here.
struct RawNifti {
  bool swapped = false;
  int datatype = 0;
  double pixdim[4] = {};
  std::int64_t voxelOffset = 0;
};

template <typename T>
T field(const unsigned char* p, bool swapped) {
  unsigned char bytes[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = p[swapped ? sizeof(T) - 1 - i : i];
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

RawNifti rawHeader(const std::string& path) {
  znzFile file = znzopen(path.c_str(), "rb", 1);
  if (znz_isnull(file)) throw IoError("Cannot open " + path);
  unsigned char head[540] = {};
  const std::size_t got = znzread(head, 1, sizeof head, file);
  znzclose(file);
  RawNifti raw;
  for (const bool swap : {false, true}) {
    const auto size = field<std::int32_t>(head, swap);
    if (size == 348 && got >= 348) {
      raw.swapped = swap;
      raw.datatype = field<std::int16_t>(head + 70, swap);
      for (int i = 0; i < 4; ++i) raw.pixdim[i] = field<float>(head + 76 + 4 * i, swap);
      raw.voxelOffset = static_cast<std::int64_t>(field<float>(head + 108, swap));
      return raw;
    }
    if (size == 540 && got >= 540) {
      raw.swapped = swap;
      raw.datatype = field<std::int16_t>(head + 12, swap);
      for (int i = 0; i < 4; ++i) raw.pixdim[i] = field<double>(head + 104 + 8 * i, swap);
      raw.voxelOffset = field<std::int64_t>(head + 168, swap);
      return raw;
    }
  }
  throw IoError("Cannot read NIfTI file " + path + ": not a NIfTI-1 or NIfTI-2 header");
}

template <typename T>
std::int64_t nonFiniteIn(znzFile file, std::int64_t count, bool swapped) {
  std::vector<unsigned char> chunk(sizeof(T) * 65536);
  std::int64_t bad = 0;
  while (count > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(count, 65536));
    if (znzread(chunk.data(), sizeof(T), n, file) != n) break;  // short data: the reader says so
    for (std::size_t i = 0; i < n; ++i)
      bad += !std::isfinite(field<T>(chunk.data() + i * sizeof(T), swapped));
    count -= static_cast<std::int64_t>(n);
  }
  return bad;
}

std::int64_t nonFiniteVoxels(const std::string& path, const RawNifti& raw, std::int64_t count) {
  if (raw.datatype != DT_FLOAT32 && raw.datatype != DT_FLOAT64) return 0;
  znzFile file = znzopen(path.c_str(), "rb", 1);
  if (znz_isnull(file)) throw IoError("Cannot open " + path);
  std::int64_t bad = 0;
  // gzseek answers the new offset, fseek 0; both -1 on failure.
  if (znzseek(file, static_cast<long>(raw.voxelOffset), SEEK_SET) >= 0)
    bad = raw.datatype == DT_FLOAT32 ? nonFiniteIn<float>(file, count, raw.swapped)
                                     : nonFiniteIn<double>(file, count, raw.swapped);
  znzclose(file);
  return bad;
}

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
  if (dims < 3 || header->dim[3] <= 1) throw IoError("Not a volume: " + path + " is a 2-D image");
  if (dims > 3)
    throw IoError("Not a single volume: " + path + " is a " + std::to_string(dims) +
                  "-D image; a study is one 3-D volume");

  StudyVolume geometry;
  const RawNifti raw = rawHeader(path);
  const double unit = millimetresPer(header->xyz_units);
  for (std::size_t i = 0; i < 3; ++i) {
    geometry.size[i] = header->dim[i + 1];
    geometry.spacingMm[i] = raw.pixdim[i + 1] * unit;
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
  const std::int64_t bad = nonFiniteVoxels(path, rawHeader(path), volume.voxelCount());
  if (bad > 0)
    throw IoError("Study " + path + " has " + std::to_string(bad) +
                  " voxels that are not finite numbers (NaN or infinite)");
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

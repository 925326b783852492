#include "importers/nifti_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <nifti2_io.h>

#include "common/io_error.h"
#include "importers/radiological_layout.h"
#include "importers/scan_limits.h"

namespace pelk {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
  throw IoError("Cannot import NIfTI file " + path + ": " + reason);
}

std::int64_t littleOrBig(const unsigned char* p, std::size_t bytes, bool swapped) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < bytes; ++i) {
    const std::size_t at = swapped ? bytes - 1 - i : i;
    v |= std::uint64_t{p[at]} << (8 * i);
  }
  if (bytes < 8 && (v >> (8 * bytes - 1)) != 0) v |= ~std::uint64_t{0} << (8 * bytes);  // sign
  return static_cast<std::int64_t>(v);
}

// The library reads headers it cannot fully trust as ANALYZE 7.5, goes looking for a second
// file, or quietly replaces a non-positive dimension with 1; so the header size, the magic and
// the dimensions are checked here first, on the (decompressed) header bytes. Yields the
// format version, which is also told from these bytes: the library's own record of it is not
// reliable for NIfTI-2.
int checkHeader(const std::string& path) {
  znzFile file = znzopen(path.c_str(), "rb", 1);
  if (znz_isnull(file)) fail(path, "cannot open the file");
  unsigned char head[540] = {};
  const std::size_t got = znzread(head, 1, sizeof head, file);
  znzclose(file);
  if (got < 4) fail(path, "the file is too short for a NIfTI header");

  int version = 0;
  bool swapped = false;
  for (const bool swap : {false, true}) {
    const std::int64_t size = littleOrBig(head, 4, swap);
    if (size == 348 || size == 540) {
      version = size == 348 ? 1 : 2;
      swapped = swap;
      break;
    }
  }
  if (!version) fail(path, "not a NIfTI file (unknown header size)");
  if (got < (version == 1 ? 348u : 540u)) fail(path, "truncated header");

  const char* magic = reinterpret_cast<const char*>(version == 1 ? head + 344 : head + 4);
  if (std::memcmp(magic, version == 1 ? "ni1" : "ni2", 4) == 0)
    fail(path, "two-file NIfTI (.hdr/.img) is not supported; use a single .nii or .nii.gz");
  const bool good = version == 1 ? std::memcmp(magic, "n+1", 4) == 0
                                 : std::memcmp(magic, "n+2\0\r\n\032\n", 8) == 0;
  if (!good) fail(path, "bad magic: not a NIfTI-1 or NIfTI-2 file");

  const std::size_t width = version == 1 ? 2 : 8;
  const unsigned char* dim = head + (version == 1 ? 40 : 16);
  const std::int64_t count = littleOrBig(dim, width, swapped);
  if (count < 1 || count > 7) fail(path, "invalid number of dimensions " + std::to_string(count));
  std::array<std::int64_t, 3> size{1, 1, 1};
  std::string shape;
  for (std::int64_t i = 1; i <= count; ++i) {
    const std::int64_t n = littleOrBig(dim + width * static_cast<std::size_t>(i), width, swapped);
    shape += (i > 1 ? " x " : "") + std::to_string(n);
    if (i <= 3) size[static_cast<std::size_t>(i - 1)] = n;
  }
  for (std::int64_t i = 1; i <= count; ++i)
    if (littleOrBig(dim + width * static_cast<std::size_t>(i), width, swapped) < 1)
      fail(path, "invalid dimensions " + shape);
  const auto slice = boundedProduct(size[0], size[1]);
  if (!slice || !boundedProduct(*slice, size[2]) || size[0] > kMaxScanSide ||
      size[1] > kMaxScanSide || size[2] > kMaxScanSide)
    fail(path, "dimensions " + shape + " are too large");
  return version;
}

struct ImageFree {
  void operator()(nifti_image* image) const { nifti_image_free(image); }
};
using ImagePtr = std::unique_ptr<nifti_image, ImageFree>;

struct BufferFree {
  void operator()(void* p) const { std::free(p); }
};

// Scaled values of one voxel type; the type is chosen once per volume, not once per voxel.
struct Scaling {
  bool on = false;
  double slope = 1.0;
  double intercept = 0.0;
};

template <typename T>
bool convert(const unsigned char* raw, std::size_t rawBytes, std::vector<float>& out,
             const Scaling& scaling) {
  if (rawBytes / sizeof(T) < out.size()) return false;
  for (std::size_t i = 0; i < out.size(); ++i) {
    T v;
    std::memcpy(&v, raw + i * sizeof(T), sizeof v);
    out[i] = scaling.on
                 ? static_cast<float>(static_cast<double>(v) * scaling.slope + scaling.intercept)
                 : static_cast<float>(v);
  }
  return true;
}

// False for the voxel types that are not grey values (complex, RGB, 128-bit reals), and for a
// buffer too small for `out` in the given type.
bool convertVoxels(int datatype, const unsigned char* raw, std::size_t rawBytes,
                   std::vector<float>& out, const Scaling& scaling) {
  switch (datatype) {
    case DT_UINT8: return convert<std::uint8_t>(raw, rawBytes, out, scaling);
    case DT_INT8: return convert<std::int8_t>(raw, rawBytes, out, scaling);
    case DT_INT16: return convert<std::int16_t>(raw, rawBytes, out, scaling);
    case DT_UINT16: return convert<std::uint16_t>(raw, rawBytes, out, scaling);
    case DT_INT32: return convert<std::int32_t>(raw, rawBytes, out, scaling);
    case DT_UINT32: return convert<std::uint32_t>(raw, rawBytes, out, scaling);
    case DT_INT64: return convert<std::int64_t>(raw, rawBytes, out, scaling);
    case DT_UINT64: return convert<std::uint64_t>(raw, rawBytes, out, scaling);
    case DT_FLOAT32: return convert<float>(raw, rawBytes, out, scaling);
    case DT_FLOAT64: return convert<double>(raw, rawBytes, out, scaling);
    default: return false;
  }
}

double millimetresPer(int units) {
  switch (units) {
    case NIFTI_UNITS_METER: return 1000.0;
    case NIFTI_UNITS_MICRON: return 0.001;
    default: return 1.0;  // millimetres, or unknown: the format's usual unit
  }
}

std::array<PatientDirection, 3> patientAxes(const nifti_image& image) {
  const nifti_dmat44* matrix = image.sform_code > 0   ? &image.sto_xyz
                               : image.qform_code > 0 ? &image.qto_xyz
                                                      : nullptr;
  // RAS (the format's world space) to the patient frame used here: x and y change sign.
  std::array<PatientDirection, 3> axes{PatientDirection{-1, 0, 0}, PatientDirection{0, -1, 0},
                                       PatientDirection{0, 0, 1}};
  if (!matrix) return axes;
  for (std::size_t i = 0; i < 3; ++i) {
    PatientDirection d{-matrix->m[0][i], -matrix->m[1][i], matrix->m[2][i]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!(length > 1e-12) || !std::isfinite(length)) continue;  // keep the default for that axis
    for (auto& v : d) v /= length;
    axes[i] = d;
  }
  return axes;
}

}  // namespace

ScanVolume readNiftiScan(const std::string& path) {
  nifti_set_debug_level(0);
  const int version = checkHeader(path);

  ImagePtr image(nifti_image_read(path.c_str(), 0));
  if (!image) fail(path, "the header is not valid");
  if (image->nifti_type != NIFTI_FTYPE_NIFTI1_1 && image->nifti_type != NIFTI_FTYPE_NIFTI2_1)
    fail(path, "not a single-file NIfTI-1 or NIfTI-2 image");

  const std::int64_t dims = image->dim[0];
  if (dims < 1 || dims > 7) fail(path, "invalid number of dimensions " + std::to_string(dims));
  std::array<std::int64_t, 3> size{1, 1, 1};
  for (std::size_t i = 0; i < 3; ++i) {
    if (static_cast<std::int64_t>(i) + 1 > dims) break;
    size[i] = image->dim[i + 1];
  }
  const std::string shape =
      std::to_string(size[0]) + " x " + std::to_string(size[1]) + " x " + std::to_string(size[2]);
  for (const auto n : size)
    if (n < 1) fail(path, "invalid dimensions " + shape);
  const auto slicePixels = boundedProduct(size[0], size[1]);
  const auto voxels = slicePixels ? boundedProduct(*slicePixels, size[2]) : std::nullopt;
  if (!voxels || size[0] > kMaxScanSide || size[1] > kMaxScanSide || size[2] > kMaxScanSide)
    fail(path, "dimensions " + shape + " are too large");
  for (std::int64_t i = 4; i <= dims; ++i)
    if (image->dim[i] < 1) fail(path, "invalid dimension " + std::to_string(i));

  // The first volume only: index 0 along every dimension beyond the third.
  const int64_t firstVolume[8] = {0, -1, -1, -1, 0, 0, 0, 0};
  void* raw = nullptr;
  const int64_t read = nifti_read_collapsed_image(image.get(), firstVolume, &raw);
  const std::unique_ptr<void, BufferFree> buffer(raw);
  const auto bytes = static_cast<std::size_t>(*voxels) * static_cast<std::size_t>(image->nbyper);
  if (read < 0 || raw == nullptr || static_cast<std::uint64_t>(read) < bytes)
    fail(path, "the voxel data is missing or shorter than the header says");

  ScanVolume volume;
  volume.format = version == 2 ? "NIfTI-2" : "NIfTI-1";
  volume.size = size;
  const Scaling scaling{
      image->scl_slope != 0.0 && std::isfinite(image->scl_slope) && std::isfinite(image->scl_inter),
      image->scl_slope, image->scl_inter};
  volume.values.resize(static_cast<std::size_t>(*voxels));
  if (!convertVoxels(image->datatype, static_cast<const unsigned char*>(raw),
                     static_cast<std::size_t>(read), volume.values, scaling))
    fail(path, std::string("voxel type ") + nifti_datatype_string(image->datatype) +
                   " cannot be imported; only grey (integer or real) volumes can");

  volume.axes = patientAxes(*image);
  volume.sliceAxis = headFootAxis(*volume.axes);
  const double unit = millimetresPer(image->xyz_units);
  for (std::size_t i = 0; i < 3; ++i) {
    const double spacing = std::fabs(image->pixdim[i + 1]) * unit;
    if (spacing > 0 && std::isfinite(spacing)) volume.spacingMm[i] = spacing;
    else if (static_cast<int>(i) != volume.sliceAxis) volume.spacingAssumed = true;
  }
  if (std::isfinite(image->cal_min) && std::isfinite(image->cal_max) &&
      image->cal_max > image->cal_min)
    volume.ownWindow = IntensityWindow{image->cal_min, image->cal_max};
  return volume;
}

}  // namespace pelk

#include "studies/nifti_writer.h"

#include <cstring>

#include <nifti2_io.h>
#include <zlib.h>

#include "common/io_error.h"
#include "common/replace_file.h"

namespace pelk {
namespace {

constexpr int kHeaderBytes = 348;
constexpr int kVoxelOffset = 352;  // the header and an empty extension flag

std::string gzip(const std::string& raw) {
  z_stream z{};
  // 15 + 16: a gzip wrapper. Level 1: the registered volumes are large and are written on every
  // run; the stronger levels take several times as long for a few percent.
  if (deflateInit2(&z, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw IoError("Cannot start compressing a NIfTI volume");
  std::string out(deflateBound(&z, raw.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
  z.avail_in = static_cast<uInt>(raw.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (status != Z_STREAM_END) throw IoError("Cannot compress a NIfTI volume");
  return out;
}

}  // namespace

std::string niftiBytes(const StudyVolume& v) {
  nifti_1_header h;
  std::memset(&h, 0, sizeof h);
  h.sizeof_hdr = kHeaderBytes;
  h.dim[0] = 3;
  for (int i = 0; i < 3; ++i)
    h.dim[i + 1] = static_cast<short>(v.size[static_cast<std::size_t>(i)]);
  for (int i = 4; i < 8; ++i) h.dim[i] = 1;
  h.datatype = DT_FLOAT32;
  h.bitpix = 32;
  h.vox_offset = kVoxelOffset;
  h.xyzt_units = NIFTI_UNITS_MM;
  h.qform_code = NIFTI_XFORM_SCANNER_ANAT;
  h.sform_code = NIFTI_XFORM_SCANNER_ANAT;

  // The patient frame back to the format's RAS world: x and y change sign.
  nifti_dmat44 m{};
  for (std::size_t r = 0; r < 3; ++r) {
    const double sign = r < 2 ? -1.0 : 1.0;
    for (std::size_t a = 0; a < 3; ++a) m.m[r][a] = sign * v.axes[a][r] * v.spacingMm[a];
    m.m[r][3] = sign * v.originMm[r];
  }
  m.m[3][3] = 1.0;
  for (int r = 0; r < 3; ++r) {
    float* row = r == 0 ? h.srow_x : r == 1 ? h.srow_y : h.srow_z;
    for (int c = 0; c < 4; ++c) row[c] = static_cast<float>(m.m[r][c]);
  }
  double qb, qc, qd, qx, qy, qz, dx, dy, dz, qfac;
  nifti_dmat44_to_quatern(m, &qb, &qc, &qd, &qx, &qy, &qz, &dx, &dy, &dz, &qfac);
  h.quatern_b = static_cast<float>(qb);
  h.quatern_c = static_cast<float>(qc);
  h.quatern_d = static_cast<float>(qd);
  h.qoffset_x = static_cast<float>(qx);
  h.qoffset_y = static_cast<float>(qy);
  h.qoffset_z = static_cast<float>(qz);
  h.pixdim[0] = static_cast<float>(qfac);
  for (std::size_t i = 0; i < 3; ++i) h.pixdim[i + 1] = static_cast<float>(v.spacingMm[i]);
  std::memcpy(h.magic, "n+1", 4);

  std::string raw(static_cast<std::size_t>(kVoxelOffset) + v.values.size() * sizeof(float), '\0');
  std::memcpy(raw.data(), &h, kHeaderBytes);
  std::memcpy(raw.data() + kVoxelOffset, v.values.data(), v.values.size() * sizeof(float));
  return raw;
}

std::string niftiGzBytes(const StudyVolume& volume) { return gzip(niftiBytes(volume)); }

void writeNiftiGz(const std::string& path, const StudyVolume& volume) {
  replaceFileWhole(path, niftiGzBytes(volume));
}

}  // namespace pelk

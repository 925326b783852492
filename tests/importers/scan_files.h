#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelk::test {

// A DICOM image made with DCMTK. `pixels` are the stored values, frame after frame, each frame
// row after row; they are written as 8- or 16-bit words as `bitsAllocated` says.
struct DicomSpec {
  int columns = 4;
  int rows = 4;
  int frames = 1;  // NumberOfFrames is written only when above 1
  int bitsAllocated = 16;
  int bitsStored = 16;
  bool isSigned = false;
  int samplesPerPixel = 1;
  std::string photometric = "MONOCHROME2";
  std::vector<std::uint32_t> pixels;
  std::optional<double> slope, intercept;
  std::optional<double> windowCentre, windowWidth;
  std::optional<std::string> pixelSpacing;  // "row\\column", as DICOM stores it
  std::optional<std::string> orientation;   // Image Orientation (Patient), six values
  // Pixel Spacing inside the shared functional groups, as enhanced multi-frame files keep it.
  std::optional<std::string> groupPixelSpacing;
  // Further string attributes, tag as 0xGGGGEEEE, written as given (damaged values too).
  std::vector<std::pair<std::uint32_t, std::string>> extra;
  enum class Syntax {
    ExplicitLittle,
    ImplicitLittle,
    ExplicitBig,
    RleLossless,
    JpegLossless
  } syntax = Syntax::ExplicitLittle;
};
void writeDicom(const std::string& path, const DicomSpec& spec);

// A NIfTI image made with nifti_clib; the name decides gzip (.nii.gz). `values` are in stored
// order (i fastest) and converted to `datatype`.
struct NiftiSpec {
  std::array<std::int64_t, 4> size{4, 4, 3, 1};
  int datatype = 2;  // DT_UINT8
  int version = 1;
  std::vector<double> values;
  std::array<double, 3> spacing{1.0, 1.0, 1.0};
  double slope = 0.0, intercept = 0.0;
  double calMin = 0.0, calMax = 0.0;
  // Voxel-to-RAS rows (3 x 4); written as the sform when given, else no orientation at all.
  std::optional<std::array<std::array<double, 4>, 3>> sform;
  // Quaternion b, c, d of a qform (qfac 1, no offset); written when given.
  std::optional<std::array<double, 3>> qform;
};
void writeNifti(const std::string& path, const NiftiSpec& spec);

// The picture of a nominal bitmap file: pixel (row, col) with row 0 at the top.
struct NominalImage {
  std::string bytes;
  int at(int row, int col) const;
};
NominalImage readNominal(const std::string& path);

}  // namespace pelk::test

#include <filesystem>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "importers/scan_import.h"
#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

// Every failure must name its cause, and leave the output exactly as it was: here a file that
// a half-written import would have overwritten or truncated.
class BadInput : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    writeFile("out.bmp", "previous bitmap");
  }
  void expectFailure(const std::string& source, const std::string& reason,
                     std::optional<std::int64_t> slice = std::nullopt) {
    try {
      importScan({source, "out.bmp", slice, std::nullopt});
      ADD_FAILURE() << "importing " << source << " did not fail";
    } catch (const IoError& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
    EXPECT_TRUE(readFile("out.bmp") == "previous bitmap") << "the output was replaced";
    for (const auto& entry : std::filesystem::directory_iterator("."))
      EXPECT_EQ(entry.path().filename().string().find(".out.bmp"), std::string::npos)
          << "temporary file left behind: " << entry.path();
  }
  static std::string patched(std::string bytes, std::size_t at, const std::string& with) {
    bytes.replace(at, with.size(), with);
    return bytes;
  }
};

DicomSpec smallDicom() {
  DicomSpec spec;
  spec.columns = spec.rows = 32;
  spec.pixels.assign(32 * 32, 7);
  return spec;
}

TEST_F(BadInput, MissingFile) { expectFailure("absent.dcm", "File not found: absent.dcm"); }

TEST_F(BadInput, TextFileIsNotDicom) {
  writeFile("notes.dcm", "these are not the pixels you are looking for");
  expectFailure("notes.dcm", "not a readable DICOM file");
}

TEST_F(BadInput, TruncatedDicom) {
  writeDicom("scan.dcm", smallDicom());
  const std::string whole = readFile("scan.dcm");
  writeFile("cut.dcm", whole.substr(0, whole.size() - 700));
  expectFailure("cut.dcm", "Cannot import DICOM file cut.dcm: the file is damaged or truncated");
  writeFile("cut.dcm", whole.substr(0, 200));  // inside the header
  expectFailure("cut.dcm", "Cannot import DICOM file cut.dcm: the file is damaged or truncated");
}

TEST_F(BadInput, ColourDicom) {
  DicomSpec spec;
  spec.bitsAllocated = spec.bitsStored = 8;
  spec.samplesPerPixel = 3;
  spec.photometric = "RGB";
  spec.pixels.assign(16 * 3, 90);
  writeDicom("colour.dcm", spec);
  expectFailure("colour.dcm", "colour images are not supported (3 samples per pixel, RGB)");
}

TEST_F(BadInput, DicomFrameOutOfRange) {
  writeDicom("scan.dcm", smallDicom());
  expectFailure("scan.dcm", "Slice 1 is out of range: the scan has 1 slices (0 to 0)", 1);
  expectFailure("scan.dcm", "Slice -1 is out of range", -1);
}

TEST_F(BadInput, DicomClaimingMoreFramesThanItHolds) {
  DicomSpec spec = smallDicom();
  spec.frames = 1000;  // the pixel data still holds one frame
  writeDicom("scan.dcm", spec);
  expectFailure("scan.dcm", "pixel data too short");
}

TEST_F(BadInput, DicomWithUnsupportedBitDepth) {
  DicomSpec spec = smallDicom();
  spec.bitsAllocated = 16;
  spec.bitsStored = 17;
  writeDicom("scan.dcm", spec);
  expectFailure("scan.dcm", "unsupported pixel layout");
}

TEST_F(BadInput, DicomWithADamagedNumberIsNotReadAsTheDefault) {
  DicomSpec spec = smallDicom();
  spec.extra = {{0x00281053, "two"}};  // Rescale Slope
  writeDicom("scan.dcm", spec);
  expectFailure("scan.dcm", "RescaleSlope is not a number: \"two\"");
}

NiftiSpec smallNifti() {
  NiftiSpec spec;
  spec.values.assign(48, 9);
  return spec;
}

TEST_F(BadInput, NiftiWithBadMagic) {
  writeNifti("scan.nii", smallNifti());
  writeFile("bad.nii", patched(readFile("scan.nii"), 344, std::string("xx1\0", 4)));
  expectFailure("bad.nii", "bad magic");
}

TEST_F(BadInput, NiftiWhoseDimensionsOverflow) {
  writeNifti("scan.nii", smallNifti());
  // dim[1..3] are 16-bit at offset 42: 32767 each asks for 3.5e13 voxels from a 400-byte file.
  writeFile("huge.nii", patched(readFile("scan.nii"), 42, "\xff\x7f\xff\x7f\xff\x7f"));
  expectFailure("huge.nii", "dimensions 32767 x 32767 x 32767 are too large");

  NiftiSpec two = smallNifti();
  two.version = 2;
  writeNifti("scan2.nii", two);
  // NIfTI-2 dims are 64-bit at offset 16: 2^62 x 2^62 would wrap a 64-bit product.
  const std::string big("\0\0\0\0\0\0\0\x40", 8);
  writeFile("huge2.nii", patched(patched(readFile("scan2.nii"), 24, big), 32, big));
  expectFailure("huge2.nii", "huge2.nii");
}

TEST_F(BadInput, NiftiWithNegativeDimension) {
  writeNifti("scan.nii", smallNifti());
  writeFile("neg.nii", patched(readFile("scan.nii"), 44, "\xfe\xff"));  // dim[2] = -2
  expectFailure("neg.nii", "neg.nii");
}

TEST_F(BadInput, NiftiWithTruncatedVoxels) {
  writeNifti("scan.nii", smallNifti());
  const std::string whole = readFile("scan.nii");
  writeFile("cut.nii", whole.substr(0, whole.size() - 10));
  expectFailure("cut.nii", "shorter than the header says");
  writeFile("head.nii", whole.substr(0, 100));
  expectFailure("head.nii", "truncated header");
}

TEST_F(BadInput, NiftiColourVolume) {
  NiftiSpec spec = smallNifti();
  spec.datatype = 128;  // RGB24
  writeNifti("rgb.nii", spec);
  expectFailure("rgb.nii", "voxel type RGB24 cannot be imported");
}

TEST_F(BadInput, NiftiSliceOutOfRange) {
  writeNifti("scan.nii", smallNifti());
  expectFailure("scan.nii", "Slice 3 is out of range: the scan has 3 slices (0 to 2)", 3);
}

TEST_F(BadInput, GzipThatIsNotNifti) {
  writeFile("junk.nii.gz", std::string("\x1f\x8b", 2) + "garbage that does not inflate");
  expectFailure("junk.nii.gz", "junk.nii.gz");
}

TEST_F(BadInput, OutputIntoAMissingFolderFailsWithoutPartialFiles) {
  writeNifti("scan.nii", smallNifti());
  EXPECT_THROW(importScan({"scan.nii", "no/such/folder/out.bmp", std::nullopt, std::nullopt}),
               IoError);
}

}  // namespace
}  // namespace pelk::test

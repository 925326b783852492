#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "studies/nifti_writer.h"
#include "studies/study_command.h"
#include "studies/study_reader.h"
#include "tests/studies/study_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

// Offsets in the NIfTI-1 header.
constexpr std::size_t kDim = 40, kPixdim = 76, kVoxels = 352;

template <typename T>
std::string patched(std::string bytes, std::size_t at, T value) {
  bytes.replace(at, sizeof value, reinterpret_cast<const char*>(&value), sizeof value);
  return bytes;
}

class StudyBadInput : public ScratchDirTest {};

TEST_F(StudyBadInput, EveryMalformedStudyIsAClearError) {
  const std::string good = niftiBytes(smallHead());
  const std::string gz = niftiGzBytes(smallHead());
  std::filesystem::create_directory("empty");
  std::filesystem::create_directory("notdicom");
  writeFile("notdicom/readme.txt", "no images here");
  struct Case {
    const char* name;
    std::string bytes;  // empty: a folder or a missing file
    const char* reason;
  };
  const Case cases[] = {
      {"flat.nii", patched(good, kDim + 6, std::int16_t{1}), "2-D image"},
      {"series.nii", patched(patched(good, kDim, std::int16_t{4}), kDim + 8, std::int16_t{2}),
       "4-D image"},
      {"nan.nii", patched(good, kVoxels + 400, std::numeric_limits<float>::quiet_NaN()),
       "not finite"},
      {"inf.nii", patched(good, kVoxels + 4, std::numeric_limits<float>::infinity()), "not finite"},
      {"zero.nii", patched(good, kPixdim + 4, 0.0f), "zero, negative"},
      {"negative.nii", patched(good, kPixdim + 12, -2.0f), "zero, negative"},
      {"cut.nii.gz", gz.substr(0, gz.size() / 2), "shorter than the header says"},
      {"wide.nii", patched(good, kDim + 2, std::int16_t{1025}), "each side must be 1 to 1024"},
      {"huge.nii",
       patched(patched(patched(good, kDim + 2, std::int16_t{1024}), kDim + 4, std::int16_t{1024}),
               kDim + 6, std::int16_t{1024}),
       "over 2 GB"},
      {"empty", "", "No DICOM image"},
      {"notdicom", "", "No DICOM image"},
      {"missing.nii", "", "File not found"},
  };
  for (const auto& c : cases) {
    if (!c.bytes.empty()) writeFile(c.name, c.bytes);
    try {
      readStudy(c.name);
      ADD_FAILURE() << c.name << " was read";
    } catch (const IoError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
          << c.name << ": " << e.what();
    }
  }
}

// A failed study names its cause, exits 1 and leaves no output at all, not even the folder's
// first files.
TEST_F(StudyBadInput, AFailedStudyWritesNothing) {
  StudyVolume head = smallHead();
  writeStudy("base.nii.gz", head);
  head.originMm = {1000, 0, 0};  // somewhere else in space entirely
  writeStudy("away.nii.gz", head);
  writeFile("nan.nii", patched(niftiBytes(smallHead()), kVoxels, std::nanf("")));
  struct Case {
    std::vector<std::string> args;
    const char* reason;
  };
  const Case cases[] = {
      {{"--followup", "away.nii.gz"}, "does not overlap the baseline"},
      {{"--followup", "base.nii.gz", "--followup", "nan.nii"}, "not finite"},
      {{"--followup", "base.nii.gz", "--slice", "32"}, "outside the baseline"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--baseline", "base.nii.gz", "--out", "out"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(runStudyCommand(args, out, err), 1) << c.reason;
    EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists("out")) << c.reason;
  }
}

}  // namespace
}  // namespace pelk::test

#include "tools/sample_set.h"

#include <filesystem>

#include "common/file_io.h"
#include "common/io_error.h"
#include "tools/synthetic_head.h"

namespace pelk {
namespace {

constexpr std::uint32_t kScanSeed = 40;
constexpr std::uint32_t kStartupSeed = 101;

// In the white matter of the upper right quarter, clear of the ventricles.
SampleLesion lesionOfRadius(double radius) { return SampleLesion{318.0, 196.0, radius, 72.0}; }

}  // namespace

std::vector<SampleScan> makeSampleSet() {
  struct Scan {
    const char* name;
    std::uint32_t seed;
    std::optional<SampleLesion> lesion;
  };
  const Scan scans[] = {
      {kSampleStartup, kStartupSeed, std::nullopt},
      {kSampleStandard, kScanSeed, std::nullopt},
      {kSampleReference, kScanSeed, lesionOfRadius(11.0)},
      {kSampleThird, kScanSeed, lesionOfRadius(18.0)},
  };
  std::vector<SampleScan> set;
  for (const Scan& scan : scans) {
    set.push_back(
        {scan.name, grayBmpBytes(kSampleSize, kSampleSize, syntheticHead(scan.seed, scan.lesion))});
  }
  return set;
}

std::vector<std::string> writeSampleSet(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw IoError("Cannot create folder: " + folder + " (" + ec.message() + ")");
  std::vector<std::string> written;
  for (const SampleScan& scan : makeSampleSet()) {
    std::string path = (std::filesystem::path(folder) / scan.name).string();
    writeWholeFile(path, scan.bytes);
    written.push_back(path);
  }
  return written;
}

}  // namespace pelk

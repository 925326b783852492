#pragma once
#include <string>
#include <vector>

#include "common/fixed_files.h"

namespace pelk {

// The sample scans every analysis has something to find in: "test101.bmp" (the start-up
// picture), a standard scan, a reference scan with a small bright lesion and a third scan with
// a larger lesion at the same place. Apart from the lesions the three scans are identical, as
// if taken on one machine without movement.
inline constexpr const char* kSampleStartup = kStartImage;
inline constexpr const char* kSampleStandard = "standard.bmp";
inline constexpr const char* kSampleReference = "reference.bmp";
inline constexpr const char* kSampleThird = "third.bmp";

struct SampleScan {
  std::string name;
  std::string bytes;  // the whole bitmap file
};
// The four scans, made in memory.
std::vector<SampleScan> makeSampleSet();

// Writes the four scans into folder (created when missing); returns the paths written.
std::vector<std::string> writeSampleSet(const std::string& folder);

}  // namespace pelk

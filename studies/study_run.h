#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "importers/intensity_window.h"
#include "studies/rigid_registration_3d.h"
#include "studies/study_verdict.h"
#include "studies/volume_change.h"

namespace pelk {

struct StudyRequest {
  std::string baseline;
  std::vector<std::string> followUps;  // one or two
  std::string outDir;
  std::optional<std::int64_t> slice;  // across studySliceAxis; default: the largest change
  // The test information, as the legacy report prints it.
  std::string patient = "*****", test = "*****", hospital = "*****", date = "*****";
  // Where the front end records the run (--store URL, --no-store); the study itself ignores them.
  std::optional<std::string> store;
  bool noStore = false;
};

struct FollowUpResult {
  std::string path;
  std::string description;
  RigidRegistration registration;
  VolumeChange change;
};

struct StudyResult {
  StudyVolume baseline;
  std::vector<FollowUpResult> followUps;
  std::optional<StudyVerdict> verdict;  // with two follow-ups only
  std::int64_t growthVoxels = 0;        // between the follow-ups
  std::int64_t shrinkageVoxels = 0;
  int newLesions = 0;
  int sliceAxis = 2;
  std::int64_t slice = 0;
  bool sliceGiven = false;
  bool sliceThroughChange = false;  // through the largest lesion, not the middle
  IntensityWindow window;           // shared by the three matched slices
};

// Says how far a long run has got ("reading", "registering follow-up 1", ...).
using StudyProgress = std::function<void(const std::string&)>;

// Reads the studies, registers each follow-up to the baseline and measures the change; nothing
// is written. Throws IoError for bad input or a registration that fails.
StudyResult analyseStudy(const StudyRequest& request, const StudyProgress& progress = {});

// Writes every output file into request.outDir (created if missing), each whole or not at all.
void writeStudyOutputs(const StudyRequest& request, const StudyResult& result);

}  // namespace pelk

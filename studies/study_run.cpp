#include "studies/study_run.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "common/io_error.h"
#include "common/replace_file.h"
#include "importers/nominal_bmp.h"
#include "studies/matched_slices.h"
#include "studies/nifti_writer.h"
#include "studies/study_picture.h"
#include "studies/study_reader.h"
#include "studies/study_report.h"

namespace pelk {
namespace {

// Below this share of the baseline's head covered by the registered follow-up, the two were not
// brought together: comparing them would report the uncovered part as change or hide it.
constexpr double kMinHeadCovered = 0.5;

void checkCoverage(const HeadMasks& masks, const RigidRegistration& registration,
                   const std::string& path) {
  std::int64_t head = 0, covered = 0;
  for (std::size_t i = 0; i < masks.head.size(); ++i) {
    head += masks.head[i];
    covered += masks.head[i] && registration.covered[i];
  }
  if (head == 0) throw IoError("The baseline shows no head: every voxel is background");
  const double share = static_cast<double>(covered) / static_cast<double>(head);
  if (share < kMinHeadCovered)
    throw IoError("Registration of the follow-up " + path + " failed: it covers only " +
                  std::to_string(static_cast<int>(std::lround(share * 100))) +
                  "% of the baseline's head");
}

void chooseSlice(const StudyRequest& request, StudyResult& result) {
  result.sliceAxis = studySliceAxis(result.baseline);
  const auto count = result.baseline.size[static_cast<std::size_t>(result.sliceAxis)];
  if (request.slice) {
    result.slice = *request.slice;
    result.sliceGiven = true;
    return;
  }
  result.slice = count / 2;
  const VolumeLesion* largest = nullptr;
  for (const auto& f : result.followUps)
    for (const auto& l : f.change.lesions)
      if (!largest || l.voxels > largest->voxels) largest = &l;
  if (largest) {
    result.slice = std::lround(largest->centroidVoxel[static_cast<std::size_t>(result.sliceAxis)]);
    result.sliceThroughChange = true;
  }
}

}  // namespace

StudyResult analyseStudy(const StudyRequest& request, const StudyProgress& progress) {
  if (request.followUps.empty() || request.followUps.size() > 2)
    throw IoError("A study compares one baseline with one or two follow-ups");
  const auto say = [&](const std::string& what) {
    if (progress) progress(what);
  };
  StudyResult result;
  say("reading the baseline");
  result.baseline = readStudy(request.baseline);
  // Every input is read and checked before the long work starts, so bad input fails at once.
  const auto sliceCount =
      result.baseline.size[static_cast<std::size_t>(studySliceAxis(result.baseline))];
  if (request.slice && (*request.slice < 0 || *request.slice >= sliceCount))
    throw IoError("Slice " + std::to_string(*request.slice) + " is outside the baseline (0-" +
                  std::to_string(sliceCount - 1) + ")");
  std::vector<StudyVolume> followUps;
  for (std::size_t n = 0; n < request.followUps.size(); ++n) {
    say("reading follow-up " + std::to_string(n + 1));
    followUps.push_back(readStudy(request.followUps[n]));
  }
  const HeadMasks masks = headMasks(result.baseline);
  for (std::size_t n = 0; n < request.followUps.size(); ++n) {
    const std::string& path = request.followUps[n];
    const std::string which = "follow-up " + std::to_string(n + 1);
    FollowUpResult f;
    f.path = path;
    f.description = followUps[n].description;
    say("registering " + which);
    f.registration = registerRigid(result.baseline, followUps[n], path, masks.head);
    followUps[n] = StudyVolume{};  // registered; the original is no longer needed
    checkCoverage(masks, f.registration, path);
    say("measuring the change of " + which);
    f.change = detectVolumeChange(result.baseline, masks, f.registration);
    f.registration.baselineAsSeen = {};  // measured; only the registered follow-up is written
    f.change.difference = {};            // only the lesions are kept; the map is large
    result.followUps.push_back(std::move(f));
  }
  if (result.followUps.size() == 2) {
    auto& first = result.followUps[0].change;
    auto& second = result.followUps[1].change;
    result.newLesions = markNewLesions(second, first);
    const GrowthShrinkage g = growthAndShrinkage(first, second);
    result.growthVoxels = g.growthVoxels;
    result.shrinkageVoxels = g.shrinkageVoxels;
    result.verdict = studyVerdict(first.burdenVoxels(), second.burdenVoxels(), result.newLesions);
  }
  chooseSlice(request, result);
  result.window = robustWindow(result.baseline.values);
  return result;
}

void writeStudyOutputs(const StudyRequest& request, const StudyResult& result) {
  const std::filesystem::path dir(request.outDir);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir))
    throw IoError("Cannot create folder " + request.outDir);

  // Everything is made in memory first, so a failure leaves no set half-written.
  const StudyVolume& base = result.baseline;
  std::vector<NominalPicture> slices{
      nominalStudySlice(base, base.values, result.slice, result.window)};
  std::vector<std::string> volumes;
  for (const auto& f : result.followUps) {
    slices.push_back(nominalStudySlice(
        base,
        normaliseFollowUp(f.registration.registered, f.registration.covered, f.change.intensity),
        result.slice, result.window));
    volumes.push_back(niftiGzBytes(f.registration.registered));
  }
  const Picture picture = studyPicture(result, slices);
  const std::string json = studyJson(request, result);
  const std::string text = studyText(request, result);

  const char* names[] = {"std.bmp", "ref.bmp", "third.bmp"};
  for (std::size_t i = 0; i < volumes.size(); ++i)
    replaceFileWhole((dir / ("followup" + std::to_string(i + 1) + "-registered.nii.gz")).string(),
                     volumes[i]);
  for (std::size_t i = 0; i < slices.size(); ++i)
    replaceFileWhole((dir / names[i]).string(), nominalBmpBytes(slices[i]));
  replaceFileWhole((dir / "study.json").string(), json);
  replaceFileWhole((dir / "study.txt").string(), text);
  replaceFileWhole((dir / "study.bmp").string(), picture.bmpBytes());
}

}  // namespace pelk

// A study run is recorded like every other command: its scans, and the values study.json holds.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/cli_run.h"
#include "store/result_files.h"
#include "store/result_store.h"
#include "tests/studies/study_files.h"
#include "tests/support/scratch_dir.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::test {
namespace {

class RecordedStudy : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    writeStudy("base.nii.gz", smallHead());
    for (auto [name, radius, angle] :
         {std::tuple{"f1.nii.gz", 5.0, 3.0}, {"f2.nii.gz", 7.0, -4.0}}) {
      StudyVolume v = smallHead();
      simulation::addLesions(v, {{v.pointMm(20, 22, 16), {radius, radius, radius}, 80}});
      simulation::Motion motion;
      motion.axis = {1.0, 0.5, 0.2};
      motion.angleDeg = angle;
      motion.shiftMm = {2.0, 1.0, -2.0};
      writeStudy(name, simulation::moveContent(v, motion));
    }
  }
  int study(std::vector<std::string> args) {
    args.insert(args.begin(), {"pelk40-cli", "study", "--store", "sqlite:store.sqlite"});
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out;
    err_.str("");
    return runCli(static_cast<int>(argv.size()), argv.data(), out, err_);
  }
  RunRecord lastRun() {
    auto store = ResultStore::open({"sqlite:store.sqlite"}, false);
    auto runs = store->history({});
    if (runs.empty()) throw StoreError("no run stored");
    return store->run(runs.back().id);
  }
  std::ostringstream err_;
};

TEST_F(RecordedStudy, KeepsTheScansAndWhatStudyJsonHolds) {
  ASSERT_EQ(study({"--baseline", "base.nii.gz", "--followup", "f1.nii.gz", "--followup",
                   "f2.nii.gz", "--out", "out", "--patient", "Doe"}),
            0)
      << err_.str();
  EXPECT_EQ(err_.str(), "");
  const RunRecord run = lastRun();
  EXPECT_EQ(run.command, "study");
  EXPECT_TRUE(run.completed);
  EXPECT_EQ(run.patient, "Doe");
  ASSERT_EQ(run.scans.size(), 3u);
  const char* const roles[][2] = {
      {"baseline", "base.nii.gz"}, {"followup1", "f1.nii.gz"}, {"followup2", "f2.nii.gz"}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(run.scans[i].role, roles[i][0]);
    EXPECT_EQ(run.scans[i].path, roles[i][1]);
    EXPECT_TRUE(run.scans[i].sha256);
  }
  ASSERT_TRUE(run.results.study);
  const StudyProgression& stored = *run.results.study;
  const StudyProgression file = readStudyResults("out/study.json");
  EXPECT_EQ(stored.verdict, std::optional<std::string>("INCREASING"));
  EXPECT_EQ(stored.verdict, file.verdict);
  EXPECT_EQ(stored.burdenMm3, file.burdenMm3);
  EXPECT_EQ(stored.growthMm3, file.growthMm3);
  EXPECT_EQ(stored.slice, file.slice);
  ASSERT_EQ(stored.lesions.size(), file.lesions.size());
  ASSERT_EQ(stored.followUps.size(), 2u);
  EXPECT_EQ(stored.followUps[1].rotationDeg, file.followUps[1].rotationDeg);
}

TEST_F(RecordedStudy, AFailedStudyIsRecordedWithItsErrorAndNoResults) {
  ASSERT_EQ(study({"--baseline", "absent.nii.gz", "--followup", "f1.nii.gz", "--out", "out"}), 1);
  const RunRecord run = lastRun();
  EXPECT_FALSE(run.completed);
  EXPECT_NE(run.error.find("absent.nii.gz"), std::string::npos) << run.error;
  EXPECT_FALSE(run.results.study);
  ASSERT_EQ(run.scans.size(), 2u);  // the baseline and the one follow-up given
}

}  // namespace
}  // namespace pelk::test

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "studies/study_command.h"
#include "tests/studies/study_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::test {
namespace {

class StudyCommand : public ScratchDirTest {
 protected:
  // The phantom with lesions of the given radii (0: none) at two places, moved as a patient
  // lies differently on each day.
  void writeFollowUp(const std::string& name, double radiusA, double radiusB, double angle) {
    StudyVolume v = smallHead();
    std::vector<simulation::Lesion> lesions;
    if (radiusA > 0) lesions.push_back({v.pointMm(20, 22, 16), {radiusA, radiusA, radiusA}, 80});
    if (radiusB > 0) lesions.push_back({v.pointMm(30, 28, 12), {radiusB, radiusB, radiusB}, 80});
    simulation::addLesions(v, lesions);
    simulation::Motion motion;
    motion.axis = {1.0, 0.5, 0.2};
    motion.angleDeg = angle;
    motion.shiftMm = {2.0, 1.0, -2.0};
    writeStudy(name, simulation::moveContent(v, motion));
  }
  int run(std::vector<std::string> args, std::string& output) {
    std::ostringstream out, err;
    const int status = runStudyCommand(args, out, err);
    output = out.str() + err.str();
    return status;
  }
};

TEST_F(StudyCommand, GivesTheVolumetricVerdictOfTwoFollowUps) {
  writeStudy("base.nii.gz", smallHead());
  struct Case {
    double a1, b1, a2, b2;
    const char* verdict;
  };
  const Case cases[] = {
      {5, 0, 7, 0, "INCREASING"},  // 2.7 x the volume
      {7, 0, 4, 0, "DECREASING"},  // 0.19 x
      {6, 0, 6, 0, "STABLE"},
      {6, 0, 6, 5, "INCREASING"},  // the same lesion and a new one
  };
  for (const auto& c : cases) {
    writeFollowUp("f1.nii.gz", c.a1, c.b1, 3.0);
    writeFollowUp("f2.nii.gz", c.a2, c.b2, -4.0);
    std::string output;
    ASSERT_EQ(run({"--baseline", "base.nii.gz", "--followup", "f1.nii.gz", "--followup",
                   "f2.nii.gz", "--out", "out"},
                  output),
              0)
        << output;
    const std::string json = readFile("out/study.json");
    EXPECT_NE(json.find(std::string("\"verdict\": \"") + c.verdict + "\""), std::string::npos)
        << c.verdict << "\n"
        << output;
  }
  for (const char* name : {"followup1-registered.nii.gz", "followup2-registered.nii.gz", "std.bmp",
                           "ref.bmp", "third.bmp", "study.json", "study.txt", "study.bmp"})
    EXPECT_TRUE(fileExists(std::string("out/") + name)) << name;
  EXPECT_EQ(readFile("out/std.bmp").size(), 263222u);
}

TEST_F(StudyCommand, OneFollowUpGivesTheBurdenButNoVerdict) {
  writeStudy("base.nii.gz", smallHead());
  writeFollowUp("f1.nii.gz", 6, 0, 3.0);
  std::string output;
  ASSERT_EQ(run({"--baseline", "base.nii.gz", "--followup", "f1.nii.gz", "--out", "out"}, output),
            0)
      << output;
  const std::string json = readFile("out/study.json");
  EXPECT_NE(json.find("\"verdict\": null"), std::string::npos) << json;
  EXPECT_NE(output.find("Verdict: none"), std::string::npos) << output;
  EXPECT_FALSE(fileExists("out/third.bmp"));
  EXPECT_FALSE(fileExists("out/followup2-registered.nii.gz"));
  // The 6 mm lesion (905 mm3, three voxels' radius) is found with a burden of about its size.
  EXPECT_NE(json.find("\"burden_mm3\": ["), std::string::npos);
  const double burden = std::stod(json.substr(json.find("\"burden_mm3\": [") + 15));
  EXPECT_GT(burden, 400.0) << json;
  EXPECT_LT(burden, 1400.0) << json;
}

}  // namespace
}  // namespace pelk::test

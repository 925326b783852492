#include "report/picture_report.h"

#include <gtest/gtest.h>

#include <map>

#include "common/io_error.h"
#include "common/sha256.h"
#include "tests/report/png_decode.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

const char* const kRobust = R"({"verdict": "INCREASING", "burden1": 392, "burden2": 1052,
  "burden_unit": "pixels", "burden1_mm2": 70.4, "burden2_mm2": null, "new_lesions": 1,
  "width": 8, "height": 8, "baseline": "s.bmp", "followups": [
  {"file": "r.bmp", "shift": [3.5, 0.0], "rotation": 2.0, "gain": 1.0, "offset": 0, "correlation": 0.99,
   "noise": 0, "threshold": 12, "burden": 392, "legacy_warnings": ["Follow-up 1 is shifted by 3.5 px"]},
  {"file": "t.bmp", "shift": [0, 0], "rotation": 0, "gain": 1.0, "offset": 0, "correlation": 0.99,
   "noise": 0, "threshold": 12, "burden": 1052, "legacy_warnings": []}],
  "components": [{"followup": 2, "area": 1052, "area_mm2": null, "mean_change": 69.4,
   "centroid": [3.0, 4.0], "new": true}]})";

const char* const kStudy = R"({"baseline": "base.nii.gz", "followups": [{"path": "fu1.nii.gz",
  "rotation_deg": [1, 2, 3], "translation_mm": [4, 5, 6], "metric": -0.61}], "slice": 90,
  "progression": {"verdict": null, "burden_mm3": [812.5], "growth_mm3": null,
  "shrinkage_mm3": null, "new_lesions": 0, "lesions": [{"followup": 1, "volume_mm3": 812.5,
  "centroid_mm": [1, 2, 3], "mean_change": 40.0}]}})";

std::string mchsRows(int n) {
  std::string t = "\r\n=== MCHS RESULTS ===\r\n\r\n   Idx     X     Y Value   Xb   Yb\r\n\r\n";
  for (int i = 1; i <= n; ++i)
    t += std::to_string(i) + " 10 10 " + std::to_string(900 - i) + ".5 1 1\r\n";
  return t;
}

// What a folder holds, and what its report must and must not say.
struct FolderCase {
  const char* what;
  std::map<std::string, std::string> files;
  std::vector<std::string> says;
  std::vector<std::string> neverSays;
};

class PictureReportOf : public test::ScratchDirTest,
                        public ::testing::WithParamInterface<FolderCase> {};

TEST_P(PictureReportOf, SaysWhatTheFolderHoldsAndNothingElse) {
  test::writeBmp("s.bmp", 8, 8, [](int r, int c) { return r * 8 + c; });
  for (const auto& [name, content] : GetParam().files) test::writeFile(name, content);
  ReportRequest request;
  request.folder = ".";
  request.standardScan = "s.bmp";
  const std::string html = pictureReportHtml(request);
  for (const auto& s : GetParam().says) EXPECT_NE(html.find(s), std::string::npos) << s;
  for (const auto& s : GetParam().neverSays) EXPECT_EQ(html.find(s), std::string::npos) << s;
  for (const auto& png : test::inlinePngs(html)) EXPECT_TRUE(test::decodePng(png));
  EXPECT_NE(html.find(sha256Hex(test::readFile("s.bmp"))), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PictureReportOf,
    ::testing::Values(
        FolderCase{
            "robust run only",
            {{"progression.json", kRobust}},
            {"Robust progression analysis", "392 px (70.4 mm²) → 1052 px (+168.4%)",
             "New lesions in follow-up 2: 1", "unreliable here", "Follow-up 1 is shifted by 3.5 px",
             "1: r.bmp", "Not shown: Reference scan: r.bmp: file not found"},
            {"<h3>10. Tumor Prog. Analysis-1", "Intensity profiles"}},
        FolderCase{"truncated legacy progression",
                   {{"tpa.dat", "Statistical Results\r\nGroup 1\r\n  484.000 Total Area\r\n"}},
                   {"Not shown: tpa.dat: the group figures are incomplete"},
                   {"10. Tumor Prog. Analysis-1", "484 px"}},
        FolderCase{
            "non-numeric rank figure",
            {{"rra1.sql", "insert into rra1 (a) values(0,\"t\",\"p\",\"t\",   0.2x,FALSE);"},
             {"rra2.sql", "insert into rra2 (a) values(0,\"t\",\"p\",\"t\",   11.952,TRUE);"}},
            {"Not shown: rra1.sql: &quot;0.2x&quot; is not a number", "RRA-2: 11.952, significant",
             "Significance threshold 10.0"},
            {"RRA-1: "}},
        FolderCase{
            "study with one follow-up",
            {{"study.json", kStudy}},
            {"Volumetric study", "no verdict", "812.5 mm³", "matched slice 90", "1: fu1.nii.gz"},
            {"Robust progression analysis"}},
        FolderCase{"long MCHS list",
                   {{"mchs-results.dat", mchsRows(25)}},
                   {"the 20 strongest of 25 blocks (all in mchs-results.dat)", "MCHS marks over"},
                   {"<td>21</td>"}},
        FolderCase{"missing third scan and a broken difference image",
                   {{"diffbmp.bmp", "BM"}},
                   {"Not shown: diffbmp.bmp: not a bitmap file"},
                   {"Third scan"}}));

class PictureReportTest : public test::ScratchDirTest {};

TEST_F(PictureReportTest, DrawsTheHistoryItIsGivenAndEscapesWhatUsersTyped) {
  ReportRequest request;
  request.folder = ".";
  request.patient = "<b>O'Neil & \xff</b>";
  request.history = {{"2026-03-14", 120.0, 300.0, std::nullopt, 500.0, "", "INCREASING"},
                     {"2026-06-01", std::nullopt, std::nullopt, 10.0, 20.0, "STABLE", ""},
                     {"2026-07-02", {}, {}, {}, {}, "", "", 1811.5, "DECREASING"}};
  const std::string html = pictureReportHtml(request);
  EXPECT_NE(html.find("&lt;b&gt;O&#39;Neil &amp; \xEF\xBF\xBD&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(html.find("<b>O'Neil"), std::string::npos);
  const auto chart = html.find("Lesion burden and verdict over time");
  ASSERT_NE(chart, std::string::npos);
  for (const char* s : {"2026-03-14", "2026-06-01", "INCREASING", "10.: STABLE"})
    EXPECT_NE(html.find(s, chart - 2000), std::string::npos) << s;
  // A whole study's volume has a chart of its own, in mm3; the burden chart has no point for it.
  const auto volumes = html.find("Lesion volume of whole studies over time");
  ASSERT_NE(volumes, std::string::npos);
  EXPECT_EQ(html.substr(chart, volumes - chart).find("2026-07-02"), std::string::npos);
  for (const char* s : {"2026-07-02", "DECREASING", "1811.5"})
    EXPECT_NE(html.find(s, volumes), std::string::npos) << s;
}

TEST_F(PictureReportTest, AFailedWriteLeavesNothingUnderTheFinalName) {
  ReportRequest request;
  request.folder = ".";
  EXPECT_THROW(writePictureReport(request, "no-such-folder/report.html"), IoError);
  std::filesystem::create_directory("report.html");  // a folder where the file should go
  EXPECT_THROW(writePictureReport(request, "report.html"), IoError);
  for (const auto& entry : std::filesystem::directory_iterator("."))
    EXPECT_NE(entry.path().filename().string().rfind(".report.html", 0), 0u) << entry.path();
  writePictureReport(request, "ok.html");
  EXPECT_NE(test::readFile("ok.html").find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace pelk

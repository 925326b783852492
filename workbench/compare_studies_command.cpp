#include <cctype>
#include <filesystem>
#include <string_view>

#include "studies/study_report.h"
#include "studies/study_run.h"
#include "workbench/colour_bitmap.h"
#include "workbench/workbench.h"

// "Compare studies…": whole 3-D studies registered to the baseline, their matched slices handed
// to the fields for the 2-D analyses, and the volumetric account in the results area.

namespace pelk {
namespace {

bool endsWithNoCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  text.remove_prefix(text.size() - tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != tail[i]) return false;
  return true;
}

// The steps of the progress bar: the study's stages (reading the baseline, then reading,
// registering and measuring each follow-up) and writing the files.
int stageCount(std::size_t followUps) { return 2 + 3 * static_cast<int>(followUps); }

}  // namespace

std::string studyFolderFor(const std::string& baseline) {
  std::filesystem::path path(baseline);
  if (!path.has_filename()) path = path.parent_path();  // a folder given with a closing slash
  std::string name = path.filename().string();
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) {
    if (endsWithNoCase(name, ".nii.gz")) name.resize(name.size() - 7);
    else name = path.stem().string();
  }
  return (path.parent_path() / (name + "-study")).string();
}

void Workbench::CompareStudiesClick(const std::string& baseline,
                                    const std::vector<std::string>& followUps) {
  runCommand([&] { compareStudies(baseline, followUps); });
}

void Workbench::compareStudies(const std::string& baseline,
                               const std::vector<std::string>& followUps) {
  StudyRequest request;
  request.baseline = baseline;
  request.followUps = followUps;
  request.outDir = studyFolderFor(baseline);
  request.patient = TestInfo.patient;
  request.test = TestInfo.test;
  request.hospital = TestInfo.hospital;
  request.date = TestInfo.date;
  lastStudy_ = {baseline, followUps, request.outDir};

  const int total = stageCount(followUps.size());
  int done = 0;
  control_.setProgress(done, total);
  const StudyResult result = analyseStudy(request, [this, &done, total](const std::string&) {
    control_.throwIfCancelled();
    control_.setProgress(done++, total);
  });
  control_.throwIfCancelled();
  control_.setProgress(total - 1, total);
  writeStudyOutputs(request, result);
  control_.setProgress(total, total);

  // The study is written whole: from here on the command completes, so the fields, the view and
  // the results area never show half of it.
  const std::filesystem::path dir(request.outDir);
  Edit1 = (dir / "std.bmp").string();
  Edit2 = (dir / "ref.bmp").string();
  if (followUps.size() == 2) Edit3 = (dir / "third.bmp").string();
  const std::string picture = (dir / "study.bmp").string();
  ViewShows = ViewContent::StudyComparison;
  ViewCaption = "Study comparison " + picture;
  drawFitted(readColourBitmap(picture), Image1);

  Memo1.append("Results of Study Comparison");
  const std::string text = studyText(request, result);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    Memo1.append(text.substr(start, end - start));
    start = end + 1;
  }
  Memo1.append("Files written to " + request.outDir);
  for (const char* line : {" ", "Ready", " "}) Memo1.append(line);
}

}  // namespace pelk

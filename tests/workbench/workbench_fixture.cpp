#include "tests/workbench/workbench_fixture.h"

#include <algorithm>

#include "tests/support/files.h"
#include "tools/sample_set.h"
#include "workbench/read_img_file.h"

namespace pelk::test {

void WorkbenchTest::SetUp() {
  ScratchDirTest::SetUp();
  writeSampleScans();
  wb = startWorkbench();
}

void writeSampleScans() {
  static const std::vector<SampleScan> samples = makeSampleSet();
  for (const auto& scan : samples) writeFile(scan.name, scan.bytes);
}

std::unique_ptr<Workbench> WorkbenchTest::startWorkbench() {
  auto workbench = std::make_unique<Workbench>(dialogs, &printer);
  workbench->Edit1 = "standard.bmp";
  workbench->Edit2 = "reference.bmp";
  workbench->Edit3 = "third.bmp";
  return workbench;
}

std::vector<std::string> WorkbenchTest::linesSince(std::size_t from) const {
  const auto& lines = wb->Memo1.lines();
  return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
}

std::vector<std::uint32_t> viewOf(const std::string& file) {
  Picture picture;
  readImgFile(file, picture);
  return picture.pixels();
}

std::size_t findLine(const std::vector<std::string>& lines, const std::string& text,
                     std::size_t from) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i] == text) return i;
  return lines.size();
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace pelk::test

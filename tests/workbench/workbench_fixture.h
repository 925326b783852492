#pragma once
#include <memory>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "tests/workbench/recording_printer.h"
#include "tests/workbench/scripted_dialogs.h"
#include "workbench/workbench.h"

namespace pelk::test {

// A workbench started in a scratch folder holding the sample scans, with scripted dialogs and
// a recording printer; Edit1 to Edit3 name the standard, reference and third scans.
class WorkbenchTest : public ScratchDirTest {
 protected:
  void SetUp() override;

  // A new workbench on the current folder, as at start-up.
  std::unique_ptr<Workbench> startWorkbench();

  // The lines the commands since `from` appended.
  std::vector<std::string> linesSince(std::size_t from) const;

  ScriptedDialogs dialogs;
  RecordingPrinter printer;
  std::unique_ptr<Workbench> wb;
};

// Writes "test101.bmp", "standard.bmp", "reference.bmp" and "third.bmp" (made once).
void writeSampleScans();
// The view as readImgFile draws the file on a fresh picture.
std::vector<std::uint32_t> viewOf(const std::string& file);

// The index of the first line equal to text at or after `from`, or lines.size().
std::size_t findLine(const std::vector<std::string>& lines, const std::string& text,
                     std::size_t from = 0);
std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts);

}  // namespace pelk::test

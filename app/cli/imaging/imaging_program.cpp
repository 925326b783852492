#include "app/cli/imaging/imaging_program.h"

#include "app/cli/cli_run.h"
#include "app/cli/imaging/study_recording.h"
#include "importers/import_command.h"
#include "studies/study_command.h"
#include "workbench/workbench.h"

namespace pelk {

namespace {

std::vector<StandaloneWord> imagingStandaloneWords() {
  std::vector<StandaloneWord> words = lightStandaloneWords();
  // "import" turns a DICOM or NIfTI scan into a bitmap the workbench reads.
  words.push_back({"import", runImportCommand});
  // "study" registers whole 3-D follow-up studies to the baseline and cuts matched slices.
  words.push_back({"study", runRecordedStudy});
  return words;
}

}  // namespace

const CliProgram& imagingCliProgram() {
  static const CliProgram program{
      .commands = {{"robust-tpa", false, [](Workbench& w) { w.RobustTpaClick(); }}},
      .standalone = imagingStandaloneWords(),
  };
  return program;
}

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return runCli(argc, argv, out, err, imagingCliProgram());
}

}  // namespace pelk

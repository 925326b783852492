#include "app/cli/cli_run.h"

#include <exception>
#include <filesystem>
#include <string_view>
#include <vector>

#include "app/cli/cli_dialogs.h"
#include "app/cli/cli_options.h"
#include "importers/import_command.h"
#include "studies/study_command.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

void printResults(const ResultsArea& results, std::ostream& out) {
  std::string text;
  for (const auto& line : results.lines()) {
    text += line;
    text += '\n';
  }
  out << text;
  out.flush();
}

}  // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // "import" turns a DICOM or NIfTI scan into a bitmap the workbench reads; it runs alone.
  if (argc >= 2 && std::string_view(argv[1]) == "import")
    return runImportCommand(std::vector<std::string>(argv + 2, argv + argc), out, err);
  if (argc >= 2 && std::string_view(argv[1]) == "study")
    return runStudyCommand(std::vector<std::string>(argv + 2, argv + argc), out, err);

  CliParse parsed = parseCli(argc, argv, out, err);
  if (!parsed.options) return parsed.exitCode;
  const CliOptions& options = *parsed.options;

  if (options.workDir) {
    std::error_code ec;
    std::filesystem::current_path(*options.workDir, ec);
    if (ec) {
      err << "pelk40-cli: cannot enter " << *options.workDir << ": " << ec.message() << '\n';
      return kExitUsage;
    }
  }

  CliDialogs dialogs(err);
  dialogs.beginCommand("start-up");
  // A failed start-up is reported and the run goes on with a blank view, as in the window.
  Workbench workbench(dialogs);
  workbench.Edit1 = options.standardImage;
  workbench.Edit2 = options.referenceImage;
  workbench.Edit3 = options.thirdImage;
  workbench.TestInfo = options.testInfo;

  bool anyFailed = false;
  for (const BoundCommand& bound : options.commands) {
    dialogs.beginCommand(bound.given, bound.typedText);
    bound.command->run(workbench);
    anyFailed = anyFailed || dialogs.failed();
  }

  if (options.resultsFile) {
    // Saved by "11. Save Result File" itself, so the file is the same byte for byte.
    dialogs.beginCommand("--results", *options.resultsFile);
    workbench.Button12Click();
    anyFailed = anyFailed || dialogs.failed();
  }
  if (options.viewFile) {
    dialogs.beginCommand("--view");
    try {
      workbench.Image1.saveBmp(*options.viewFile);
    } catch (const std::exception& e) {
      dialogs.showError(e.what());
      anyFailed = true;
    }
  }
  if (!options.resultsFile) printResults(workbench.Memo1, out);
  return anyFailed ? kExitCommandFailed : kExitCompleted;
}

}  // namespace pelk

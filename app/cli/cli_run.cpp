#include "app/cli/cli_run.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <set>
#include <string_view>
#include <vector>

#include "app/cli/cli_dialogs.h"
#include "app/cli/cli_history.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_program.h"
#include "app/cli/report_command.h"
#include "app/cli/sibling_programs.h"
#include "common/large_page_heap.h"
#include "store/run_recorder.h"
#include "workbench/report_history.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

// Above what "7." and "9." run together touch; only what is touched is ever mapped.
constexpr std::size_t kCommandHeapBytes = std::size_t{24} << 20;

void printResults(const ResultsArea& results, std::ostream& out) {
  std::string text;
  for (const auto& line : results.lines()) {
    text += line;
    text += '\n';
  }
  out << text;
  out.flush();
}

// The words of a checked command line that another executable runs. They all have to be run by
// one sibling, which then runs the whole line; words of two siblings end the run before it starts.
std::optional<int> handOffElsewhere(const CliOptions& options, int argc, const char* const* argv,
                                    std::ostream& out, std::ostream& err) {
  std::set<std::string_view> siblings;
  std::string_view firstWord;
  for (const BoundCommand& bound : options.commands) {
    if (bound.command->run) continue;
    auto sibling = siblingProgramFor(bound.command->word);
    if (!sibling) {
      err << "pelk40-cli: " << bound.given << ": no program here runs this command\n";
      return kExitCommandFailed;
    }
    if (siblings.empty()) firstWord = bound.command->word;
    siblings.insert(*sibling);
  }
  if (siblings.empty()) return std::nullopt;
  if (siblings.size() > 1) {
    err << "pelk40-cli: these commands cannot run in one command line; run them one by one\n"
           "Run with --help for more information.\n";
    return kExitUsage;
  }
  return handOffToSibling(*siblings.begin(), firstWord, argc, argv, out, err);
}

}  // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const CliProgram& program) {
  // A word that runs alone ("import SOURCE --out FILE ...") has its own arguments.
  if (argc >= 2) {
    const std::string_view first = argv[1];
    if (const StandaloneWord* word = program.standaloneWord(first))
      return word->run(std::vector<std::string>(argv + 2, argv + argc), out, err);
    if (auto sibling = siblingProgramFor(first); sibling && !bindCommand(first, program))
      return handOffToSibling(*sibling, first, argc, argv, out, err);
  }

  CliParse parsed = parseCli(argc, argv, out, err, program);
  if (!parsed.options) return parsed.exitCode;
  const CliOptions& options = *parsed.options;
  if (auto handed = handOffElsewhere(options, argc, argv, out, err)) return *handed;

  if (options.workDir) {
    std::error_code ec;
    std::filesystem::current_path(*options.workDir, ec);
    if (ec) {
      err << "pelk40-cli: cannot enter " << *options.workDir << ": " << ec.message() << '\n';
      return kExitUsage;
    }
  }

  // The commands that follow touch several MB afresh; see large_page_heap.h.
  reserveLargePageHeap(kCommandHeapBytes);

  CliDialogs dialogs(err);
  dialogs.beginCommand("start-up");
  // A failed start-up is reported and the run goes on with a blank view, as in the window.
  Workbench workbench(dialogs);
  workbench.Edit1 = options.standardImage;
  workbench.Edit2 = options.referenceImage;
  workbench.Edit3 = options.thirdImage;
  workbench.TestInfo = options.testInfo;

  // This process ends soon after its last command: a long store log is left for a child
  // process to copy back (RunRecorder::close) instead of the next command waiting for it.
  std::optional<StoreLocation> store = chooseStore(options.store, options.noStore);
  if (store) store->logCopyBack = LogCopyBack::kByOwner;
  // PELK40_STORE_WRITER=off: every run written by this process, with no writer left running.
  if (const char* writer = std::getenv("PELK40_STORE_WRITER");
      store && !(writer && std::string_view(writer) == "off"))
    store->writerProgram = program.storeWriter;
  RunRecorder recorder(store, PELK_VERSION);
  bool anyFailed = false;
  for (const BoundCommand& bound : options.commands) {
    dialogs.beginCommand(bound.given, bound.typedText);
    const TestInformation& info = workbench.TestInfo;
    recorder.begin(std::string(bound.command->word),
                   {workbench.Edit1, workbench.Edit2, workbench.Edit3, info.patient, info.test,
                    info.hospital, info.date});
    bound.command->run(workbench);
    anyFailed = anyFailed || dialogs.failed();
    if (auto warning = recorder.finish(!dialogs.failed(), dialogs.lastError()))
      err << "pelk40-cli: warning: " << *warning << '\n';
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
  if (options.reportFile) {
    // From what this run's commands left in the working folder, which is the current one now.
    dialogs.beginCommand("--report");
    try {
      ReportRequest request = cliReportRequest(".", options.testInfo, options.standardImage,
                                               options.referenceImage, options.thirdImage);
      // This run's commands are stored by now, so the chart over time ends with this run.
      std::optional<std::string> warning;
      request.history = earlierRunsFromStore(chooseStore(options.store, options.noStore),
                                             options.testInfo.patient, warning);
      if (warning) err << "pelk40-cli: warning: " << *warning << '\n';
      writePictureReport(request, *options.reportFile);
    } catch (const std::exception& e) {
      dialogs.showError(e.what());
      anyFailed = true;
    }
  }
  if (!options.resultsFile) printResults(workbench.Memo1, out);
  recorder.close(true);
  return anyFailed ? kExitCommandFailed : kExitCompleted;
}

}  // namespace pelk

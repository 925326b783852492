#include "app/cli/cli_options.h"

#include <CLI/CLI.hpp>

#include "app/cli/cli_program.h"

namespace pelk {
namespace {

std::string commandHelp() {
  return "COMMAND (run in the order given, after start-up):\n"
         "  plot-std | plot-ref | plot     \"2. Plot\" with \"Std\", \"Ref\" or no item selected\n"
         "  rra1 | rra2 | mchs | zchs | cluster | diff | tpa | synopsis1 | synopsis2 | tes |\n"
         "  false-color\n"
         "  save-image=NAME                \"8. Save Image\" with NAME typed in the input box\n"
         "  save-results=NAME              \"11. Save Result File\" with NAME typed in the input "
         "box\n"
         "  robust-tpa                     aligned progression analysis of std against ref and "
         "third\n"
         "                                 (progression.json, progression.txt, progression.bmp)\n"
         "pelk40-cli import SOURCE --out FILE.bmp [--slice N] [--window auto|MIN:MAX]\n"
         "                                 one slice of a DICOM or NIfTI scan as a workbench "
         "bitmap\n"
         "pelk40-cli report --dir DIR --out FILE.html [--std F --ref F --third F]\n"
         "                                 the HTML picture report of a folder an earlier run "
         "left\n"
         "pelk40-cli history [--store URL] [--patient P] [--since DATE]\n"
         "                   [--format table|csv|json] [--plot FILE.svg]\n"
         "                                 the runs kept in the results store, oldest first\n"
         "pelk40-cli batch MANIFEST.csv --out DIR [--jobs N] [--commands \"WORDS\"] [--store URL]\n"
         "                 [--timeout SECONDS]\n"
         "                                 every row of a manifest in its own folder and process;\n"
         "                                 resumable; summary in DIR/batch-summary.csv\n"
         "pelk40-cli study --baseline PATH --followup PATH [--followup PATH] --out DIR [--slice "
         "N]\n"
         "                 [--patient T --test T --hospital T --date T]\n"
         "                                 whole 3-D studies: follow-ups registered to the "
         "baseline,\n"
         "                                 matched slices std/ref/third.bmp, a volumetric verdict\n"
         "Every command run is recorded in the results store: --store, else PELK40_STORE, else\n"
         "results.sqlite in $XDG_DATA_HOME/pelk40 (~/.local/share/pelk40). A SQLite store is\n"
         "kept open between command lines by a writer process the first one starts\n"
         "(PELK40_STORE_WRITER=off: each command writes its own runs).\n";
}

}  // namespace

CliParse parseCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                  const CliProgram& program) {
  CliOptions options;
  std::vector<std::string> words;
  std::string dir;
  std::string results;
  std::string view;
  std::string report;
  std::string store;

  CLI::App app{
      "Runs the PELK 40 workbench without a window: sets the image names and the test "
      "information, runs the commands in order and saves or prints the results area.",
      "pelk40-cli"};
  app.set_version_flag("--version", std::string("pelk40-cli ") + PELK_VERSION);
  app.add_option("--std", options.standardImage, "standard image (text of Edit1)");
  app.add_option("--ref", options.referenceImage, "reference image (text of Edit2)");
  app.add_option("--third", options.thirdImage, "third image (text of Edit3)");
  app.add_option("--patient", options.testInfo.patient, "patient of the test information");
  app.add_option("--test", options.testInfo.test, "test of the test information");
  app.add_option("--hospital", options.testInfo.hospital, "hospital of the test information");
  app.add_option("--date", options.testInfo.date, "date of the test information");
  auto* dirOption =
      app.add_option("--dir", dir, "working directory of the run")->check(CLI::ExistingDirectory);
  auto* resultsOption =
      app.add_option("--results", results, "save the results area to FILE at the end");
  auto* viewOption = app.add_option("--view", view, "save the image view as a BMP at the end");
  auto* reportOption = app.add_option(
      "--report", report, "write the HTML picture report of this run to FILE at the end");
  auto* storeOption = app.add_option(
      "--store", store, "record the runs in this store: sqlite:PATH or postgresql://...");
  app.add_flag("--no-store", options.noStore, "record nothing in the results store")
      ->excludes(storeOption);
  app.add_option("COMMAND", words, "commands to run, in order (see below)");
  app.footer(commandHelp());

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e, out, err);
    return {std::nullopt, code == 0 ? kExitCompleted : kExitUsage};
  }

  if (words.empty()) {
    err << "pelk40-cli: no COMMAND given\nRun with --help for more information.\n";
    return {std::nullopt, kExitUsage};
  }
  for (const std::string& word : words) {
    auto bound = bindCommand(word, program);
    if (!bound) {
      err << "pelk40-cli: unknown command: " << word << "\nRun with --help for more information.\n";
      return {std::nullopt, kExitUsage};
    }
    options.commands.push_back(std::move(*bound));
  }
  if (dirOption->count()) options.workDir = dir;
  if (resultsOption->count()) options.resultsFile = results;
  if (viewOption->count()) options.viewFile = view;
  if (reportOption->count()) options.reportFile = report;
  if (storeOption->count()) options.store = store;
  return {std::move(options), kExitCompleted};
}

}  // namespace pelk

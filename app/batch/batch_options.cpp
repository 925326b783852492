#include "app/batch/batch_options.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "common/running_program.h"

namespace pelk {
namespace {

// The program rows run: PELK40_BATCH_ROW_PROGRAM when set, else pelk40-cli beside this one.
std::string rowProgram() {
  if (const char* given = std::getenv("PELK40_BATCH_ROW_PROGRAM"); given && *given) return given;
  std::error_code ec;
  const auto self = runningProgram(ec);
  return (self.parent_path() / "pelk40-cli").string();
}

// A sanitized build reserves far more address space than any limit meant for a real run.
long defaultMemoryLimitMb() {
#if defined(__SANITIZE_ADDRESS__)
  return 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return 0;
#else
  return 4096;
#endif
#else
  return 4096;
#endif
}

}  // namespace

std::vector<std::string> defaultCommands() { return {"synopsis1", "synopsis2", "robust-tpa"}; }

BatchParse parseBatchOptions(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err) {
  BatchOptions options;
  options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  options.memoryLimitMb = defaultMemoryLimitMb();
  std::string commands;
  CLI::App app{
      "Runs the workbench commands on every row of a manifest of patients, each row in "
      "its own folder and process, resumable, on one machine or many.",
      "pelk40-cli batch"};
  app.add_option("MANIFEST", options.manifest,
                 "CSV with a header row: patient, test, hospital, date and either std, ref, third "
                 "(bitmaps) or baseline, followup1, followup2 (studies); relative paths are "
                 "taken from the manifest's folder")
      ->required()
      ->check(CLI::ExistingFile);
  app.add_option("--out", options.outDir, "output folder; each row works in OUT/<patient>/<test>/")
      ->required();
  app.add_option("--jobs", options.jobs, "rows run at once (default: the number of cores)")
      ->check(CLI::Range(1, 256));
  app.add_option("--commands", commands,
                 "command words each row runs (default \"synopsis1 synopsis2 robust-tpa\"; for "
                 "study rows the study command first, then these on its matched slices)");
  app.add_option("--store", options.store,
                 "results store passed to every row; with a postgresql:// URL the rows are also "
                 "claimed through it, so several machines can share one batch");
  app.add_option("--timeout", options.timeoutSeconds,
                 "seconds a row may take before it is killed and failed (default 600)")
      ->check(CLI::Range(1, 7 * 24 * 3600));
  app.add_option("--memory", options.memoryLimitMb,
                 "address space a row may use, in MB, before it fails (default 4096; 0: no limit)")
      ->check(CLI::Range(0L, 1L << 30));
  app.add_option("--lease", options.leaseSeconds,
                 "with a PostgreSQL store: seconds after which the row of a worker that stopped "
                 "renewing its claim is taken by another (default 60)")
      ->check(CLI::Range(2, 24 * 3600));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    return {std::nullopt, code == 0 ? kBatchCompleted : kBatchUsage};
  }
  std::istringstream words(commands);
  for (std::string word; words >> word;) options.commands.push_back(word);
  if (app.count("--commands") && options.commands.empty()) {
    err << "pelk40-cli batch: --commands names no command\n";
    return {std::nullopt, kBatchUsage};
  }
  options.rowProgram = rowProgram();
  return {std::move(options), kBatchCompleted};
}

}  // namespace pelk

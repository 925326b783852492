#include "app/cli/cli_history.h"

#include <CLI/CLI.hpp>
#include <map>

#include "app/cli/cli_options.h"
#include "common/io_error.h"
#include "common/replace_file.h"
#include "store/history_format.h"

namespace pelk {

int runHistoryCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  std::string store;
  HistoryQuery query;
  std::string patient;
  std::string since;
  HistoryFormat format = HistoryFormat::kTable;
  std::string plot;
  const std::map<std::string, HistoryFormat> formats = {{"table", HistoryFormat::kTable},
                                                        {"csv", HistoryFormat::kCsv},
                                                        {"json", HistoryFormat::kJson}};

  CLI::App app{"Lists the runs kept in the results store, oldest first.", "pelk40-cli history"};
  auto* storeOption =
      app.add_option("--store", store, "the store: sqlite:PATH or postgresql://...");
  auto* patientOption = app.add_option("--patient", patient, "only this patient's runs");
  auto* sinceOption =
      app.add_option("--since", since, "only runs started on or after DATE (YYYY-MM-DD)");
  app.add_option("--format", format, "table, csv or json")
      ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case));
  auto* plotOption = app.add_option(
      "--plot", plot, "draw the lesion burden and verdict of each run over time as SVG");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e, out, err);
    return code == 0 ? kExitCompleted : kExitUsage;
  }
  if (plotOption->count() && !patientOption->count()) {
    err << "pelk40-cli history: --plot needs --patient\n";
    return kExitUsage;
  }
  if (patientOption->count()) query.patient = patient;
  if (sinceOption->count()) query.since = since;

  auto where = chooseStore(storeOption->count() ? std::optional(store) : std::nullopt, false);
  if (!where) {
    err << "pelk40-cli history: no store named (--store, PELK40_STORE) and no home folder\n";
    return kExitCommandFailed;
  }
  try {
    auto results = ResultStore::open(*where, false);
    if (plotOption->count()) {
      replaceFileWhole(
          plot, plotHistory(results->progressionTimeline(patient), "Lesion burden of " + patient));
      return kExitCompleted;
    }
    out << formatHistory(results->history(query), format);
    out.flush();
  } catch (const StoreError& e) {
    err << "pelk40-cli history: " << e.what() << '\n';
    return kExitCommandFailed;
  } catch (const IoError& e) {
    err << "pelk40-cli history: " << e.what() << '\n';
    return kExitCommandFailed;
  }
  return kExitCompleted;
}

}  // namespace pelk

#include "workbench/report_history.h"

#include <exception>

namespace pelk {

std::vector<EarlierRun> earlierRunsFromStore(const std::optional<StoreLocation>& where,
                                             const std::string& patient,
                                             std::optional<std::string>& warning) {
  std::vector<EarlierRun> runs;
  // Unnamed patients share one name; their runs are no one patient's history.
  if (!where || patient.empty() || patient == "*****") return runs;
  try {
    std::unique_ptr<ResultStore> store = ResultStore::open(*where, false);
    for (const RunSummary& summary : store->progressionTimeline(patient)) {
      EarlierRun run;
      // The test date is free text; the day the run was made orders the chart.
      run.date = summary.startedAt.substr(0, 10);
      if (summary.legacy) {
        run.legacyVerdict = summary.legacy->verdict;
        run.legacyArea1 = summary.legacy->burden1;
        run.legacyArea2 = summary.legacy->burden2;
      }
      if (summary.robust) {
        run.robustVerdict = summary.robust->verdict;
        run.robustBurden1 = summary.robust->burden1;
        run.robustBurden2 = summary.robust->burden2;
      }
      if (summary.study) {
        run.studyVolume = summary.study->burden2Mm3.value_or(summary.study->burden1Mm3);
        run.studyVerdict = summary.study->verdict.value_or("");
      }
      runs.push_back(std::move(run));
    }
  } catch (const std::exception& e) {
    warning = std::string("the report has no chart over time: ") + e.what();
    runs.clear();
  }
  return runs;
}

}  // namespace pelk

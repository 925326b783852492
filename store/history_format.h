#pragma once
#include <string>
#include <vector>

#include "store/result_store.h"

namespace pelk {

// A value with three decimals, as the result files give them.
std::string threeDecimals(double v);

// A column of the history table: its heading and the text of a run in it.
struct HistoryColumn {
  const char* header;
  std::string (*value)(const RunSummary&);
};
const std::vector<HistoryColumn>& historyTableColumns();

enum class HistoryFormat { kTable, kCsv, kJson };

// The runs as text, one per line (table, CSV with a header row) or as a JSON array.
std::string formatHistory(const std::vector<RunSummary>& runs, HistoryFormat format);

// Everything stored of one run as readable lines, for the window's history.
std::string describeRun(const RunRecord& run);

// The lesion burden and verdict of each run over time, as an SVG picture.
std::string plotHistory(const std::vector<RunSummary>& runs, const std::string& title);

}  // namespace pelk

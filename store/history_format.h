#pragma once
#include <string>
#include <vector>

#include "store/result_store.h"

namespace pelk {

enum class HistoryFormat { kTable, kCsv, kJson };

// The runs as text, one per line (table, CSV with a header row) or as a JSON array.
std::string formatHistory(const std::vector<RunSummary>& runs, HistoryFormat format);

// The lesion burden and verdict of each run over time, as an SVG picture.
std::string plotHistory(const std::vector<RunSummary>& runs, const std::string& title);

}  // namespace pelk

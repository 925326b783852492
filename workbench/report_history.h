#pragma once
#include <optional>
#include <string>
#include <vector>

#include "report/picture_report.h"
#include "store/result_store.h"

namespace pelk {

// A patient's runs kept in the results store that reached a verdict, oldest first, as the
// report's chart of lesion burden and verdict over time takes them. Empty when there is no
// store, the patient is unnamed ("*****") or the store cannot be read; in the last case
// `warning` says why, and the report is written without the chart.
std::vector<EarlierRun> earlierRunsFromStore(const std::optional<StoreLocation>& where,
                                             const std::string& patient,
                                             std::optional<std::string>& warning);

}  // namespace pelk

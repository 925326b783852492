#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace pelk {

// The findings a reader of a cohort looks at first, taken from what the row's commands left in
// its folder: the results area ("results.txt") and the robust analysis ("progression.json").
// A finding the commands did not produce stays empty.
struct KeyResults {
  std::string rra1;              // RRA-1 determination
  std::string rra2;              // RRA-2 determination
  std::string legacyVerdict;     // the line of "10. Tumor Prog. Analysis-1"
  std::string robustVerdict;     // STABLE, INCREASING or DECREASING
  std::string burden1, burden2;  // pixels changed at follow-up 1 and 2

  static std::vector<std::string> columnNames();
  std::vector<std::string> columns() const;
};

// The files a row's commands leave that the findings are read from; removed before a row runs
// again, so a failed run never shows the findings of an earlier one.
const std::vector<std::string>& keyResultFiles();

KeyResults readKeyResults(const std::filesystem::path& rowDir);

}  // namespace pelk

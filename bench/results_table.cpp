#include "bench/results_table.h"

#include <cstdio>

namespace pelk::bench {

std::size_t ResultsTable::expect(TableRow row, const std::string& timedName,
                                 const std::string& floorName) {
  slots_[timedName] = {rows_.size(), false};
  slots_[floorName] = {rows_.size(), true};
  rows_.push_back(std::move(row));
  return rows_.size() - 1;
}

void ResultsTable::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    if (run.error_occurred || !(median || single)) continue;
    auto it = slots_.find(run.run_name.function_name);
    if (it == slots_.end()) continue;
    const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    TableRow& row = rows_[it->second.first];
    if (it->second.second) {
      row.floorSeconds = seconds;
    } else {
      row.seconds = seconds;
      row.cpuSeconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
  }
}

void ResultsTable::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n| command | scan | time (ms) | cpu (ms) | bytes written | MB/s | floor (ms) | ratio to floor |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const TableRow& row : rows_) {
    if (row.seconds == 0.0) continue;  // filtered out
    const double mbPerSecond = row.seconds > 0 ? row.bytes / row.seconds / 1e6 : 0.0;
    std::printf("| %s%s | %d | %.3f | %.3f | %zu | ", row.name.c_str(),
                row.outputChanged ? " (OUTPUT CHANGED)" : "", row.size, row.seconds * 1e3,
                row.cpuSeconds * 1e3, row.bytes);
    if (row.bytes == 0) {
      std::printf("- | - | - |\n");
      continue;
    }
    std::printf("%.0f | %.3f | ", mbPerSecond, row.floorSeconds * 1e3);
    if (row.floorSeconds > 0) std::printf("%.2f |\n", row.seconds / row.floorSeconds);
    else std::printf("- |\n");
  }
  std::fflush(stdout);
}

}  // namespace pelk::bench

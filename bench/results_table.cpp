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
    const double seconds =
        run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
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
  std::printf(
      "\n| command | scan | time (ms) | cpu (ms) | bytes written | MB/s | floor (ms) | ratio to "
      "floor |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const TableRow& row : rows_) {
    if (row.seconds == 0.0 || row.wholeProcess) continue;  // filtered out, or in the next table
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
  printProcessTable();
  std::fflush(stdout);
}

const TableRow* ResultsTable::find(const std::string& name, int size) const {
  for (const TableRow& row : rows_)
    if (row.name == name && row.size == size && row.seconds > 0.0) return &row;
  return nullptr;
}

void ResultsTable::printProcessTable() const {
  bool heading = false;
  for (const TableRow& row : rows_) {
    if (!row.wholeProcess || row.seconds == 0.0) continue;
    if (!heading) {
      std::printf(
          "\n| whole process | scan | time (ms) | cpu (ms) | peak RSS (MB) | compared with "
          "| its time (ms) | difference (ms) | floor (ms) | ratio to floor |\n");
      std::printf("|---|---:|---:|---:|---:|---|---:|---:|---:|---:|\n");
      heading = true;
    }
    std::printf("| %s | %d | %.3f | %.3f | %.1f | ", row.name.c_str(), row.size, row.seconds * 1e3,
                row.processCpuSeconds * 1e3, row.peakMb);
    if (row.alternateSeconds > 0)
      std::printf("%s, alternated | %.3f | %+.3f | ", row.comparedWith.c_str(),
                  row.alternateSeconds * 1e3, (row.seconds - row.alternateSeconds) * 1e3);
    else if (const TableRow* other = find(row.comparedWith, row.size))
      std::printf("%s | %.3f | %+.3f | ", other->name.c_str(), other->seconds * 1e3,
                  (row.seconds - other->seconds) * 1e3);
    else std::printf("- | - | - | ");
    if (row.floorSeconds > 0)
      std::printf("%.3f | %.2f |\n", row.floorSeconds * 1e3, row.seconds / row.floorSeconds);
    else std::printf("- | - |\n");
  }
}

}  // namespace pelk::bench

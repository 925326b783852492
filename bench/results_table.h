#pragma once
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace pelk::bench {

// What the table shows for one case: the median time of the operation and of its floor, and the
// bytes one run writes.
struct TableRow {
  std::string name;
  int size = 0;
  std::size_t bytes = 0;
  double seconds = 0.0;
  double cpuSeconds = 0.0;  // the process's own share, which the machine's load does not inflate
  double floorSeconds = 0.0;
  bool outputChanged = false;
  // A whole process, timed from spawn to exit: its peak resident size, and the row (same scan
  // size) it is set against, the same command in process or the empty program.
  bool wholeProcess = false;
  std::string comparedWith;
  double peakMb = 0.0;
  double processCpuSeconds = 0.0;  // the process's own CPU time, user and system, per run
  // The compared command's mean time when it was run alternately with this one, in blocks in the
  // same loop (so both meet the machine in the same state); 0 when it was not.
  double alternateSeconds = 0.0;
};

// Collects the median (or the single) time of every benchmark as it is reported and prints the
// table at the end: command, time, bytes written, MB/s, ratio to the I/O floor; then the table of
// whole processes: time, peak resident size, difference to the row compared with, ratio to floor.
class ResultsTable : public benchmark::ConsoleReporter {
 public:
  // Declares a row before its benchmarks run; `timedName` and `floorName` are their names.
  // Returns the row's index, for the benchmark to fill in the bytes it wrote.
  std::size_t expect(TableRow row, const std::string& timedName, const std::string& floorName);
  TableRow& row(std::size_t index) { return rows_[index]; }
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  void printProcessTable() const;
  const TableRow* find(const std::string& name, int size) const;

  std::vector<TableRow> rows_;
  std::map<std::string, std::pair<std::size_t, bool>> slots_;  // name -> (row, is floor)
};

}  // namespace pelk::bench

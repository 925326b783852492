#pragma once
#include <string>

#include "common/module_log.h"
#include "common/module_state.h"
#include "common/region_scan.h"

namespace pelk {

// One region of the gate finder's table (x1, y1, dx, dy, area, intensity).
using GateRegion = ScanRegion;

// What the gate finders of one workbench share: one grid, one region table and the two names
// last handed over. Each run reloads the grid over its image's rectangle and refills the table,
// which the synopsis report reads after the run.
struct GateFinderState {
  ZeroedTable<RegionGrid> grid;
  RegionTable table{};
  std::string imageName;
  std::string clusterName;
  void reset();
};

// The gate (cluster) finder: bright regions of a bitmap, largest first.
class TForm130 {
 public:
  using SharedState = GateFinderState;
  TForm130() = default;
  explicit TForm130(SharedState& shared) : state_(shared) {}

  ModuleLog Memo1;
  // The text fields of the module's own window, with their initial texts.
  std::string imageFile = "Edit1";  // "Filename "
  std::string patientId = "Edit2";  // "Patient ID"
  std::string testId = "Edit3";     // "Test ID"
  std::string seriesId = "Edit4";   // "Series ID"

  void setFileNames(const std::string& imageName, const std::string& clusterName);
  void doCluster();
  void Button1Click();                     // "Start"
  void Button2Click() { closed_ = true; }  // "End"
  bool closed() const { return closed_; }

  // The shared region table as the last run left it: regions 1..regionCount(), and an empty
  // region for any other number.
  int regionCount() const;
  const GateRegion& region(int k) const;

 private:
  ModuleState<SharedState> state_;
  bool closed_ = false;
};

}  // namespace pelk

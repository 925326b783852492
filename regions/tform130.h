#pragma once
#include <string>

#include "common/module_log.h"
#include "common/region_scan.h"

namespace pelk {

// One region of the gate finder's table (x1, y1, dx, dy, area, intensity).
using GateRegion = ScanRegion;

// The gate (cluster) finder: bright regions of a bitmap, largest first.
class TForm130 {
 public:
  ModuleLog Memo1;
  std::string Edit1 = "Edit1";  // "Filename "
  std::string Edit2 = "Edit2";  // "Patient ID"
  std::string Edit3 = "Edit3";  // "Test ID"
  std::string Edit4 = "Edit4";  // "Series ID"

  void setFileNames(const std::string& imageName, const std::string& clusterName);
  void doCluster();
  void Button1Click();  // "Start"
  void Button2Click() { closed_ = true; }  // "End"
  bool closed() const { return closed_; }

  // The module-level region table as the last run left it: regions 1..regionCount().
  static int regionCount();
  static const GateRegion& region(int k);

 private:
  bool closed_ = false;
};

}  // namespace pelk

#pragma once
#include <array>
#include <string>

#include "common/module_log.h"
#include "maps/map_pass.h"

namespace pelk {

using FileNames10 = std::array<std::string, 10>;

// Intensity map module used by "Opt2. Rel. Rank Analysis-2": block-sum maps of two bitmaps.
class TForm103 {
 public:
  ModuleLog Memo1;

  // Writes the job list "vmap1.dat".
  void setFileNames(const std::string& standardName, const std::string& referenceName);
  // Maps inputs[0] into outputs[0], then inputs[1] into outputs[1].
  void makeMap2(FileNames10 inputs, FileNames10 outputs);
  // The job-list run over "vmap1.dat".
  void makeMap();
  // The module's own "Run": the job-list run with the coarser pass.
  void Button1Click();
  void Button2Click() { closed_ = true; }
  void closeApp();
  bool closed() const { return closed_; }

 private:
  bool closed_ = false;
};

}  // namespace pelk

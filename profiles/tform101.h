#pragma once
#include <array>
#include <string>

#include "common/module_log.h"

namespace pelk {

using FileNames10 = std::array<std::string, 10>;

// The histogram profile module: turns bitmaps into "param1" profile files (100 bands along the
// width, five numbers each) and the database text "vhist3.db.txt" (100 bands along the height).
class TForm101 {
 public:
  ModuleLog Memo1;

  // Writes the job list "vhist3.dat" naming the two images.
  void SetupParam1(const std::string& standardImage, const std::string& referenceImage);
  // Builds inputs[0] into outputs[0], then inputs[1] into outputs[1], with empty labels.
  void MakeParam2Files(FileNames10 inputs, FileNames10 outputs);
  // Builds one profile per entry of "vhist3.dat"; logs "Done" at the end.
  void MakeParam1Files();
  // The module's own "Run": the job-list loop stopping with "Done Processing" at the end entry.
  void Button1Click();
  // The module's own "Exit".
  void Button2Click() { closed_ = true; }
  bool closed() const { return closed_; }

 private:
  bool closed_ = false;
};

}  // namespace pelk

#pragma once
#include <string>

#include "common/module_log.h"

namespace pelk {

// The differential image module: "diffbmp.bmp" = the standard's first 1079 bytes, then
// (2 x (r - s)) mod 256 position by position.
class TForm120 {
 public:
  ModuleLog Memo1;
  std::string Edit1 = "Edit1";  // "Compare"
  std::string Edit2 = "Edit2";  // "Reference"

  void setFileNames(const std::string& standardName, const std::string& referenceName);
  void doDiffBmp();
  void Button1Click();
};

}  // namespace pelk

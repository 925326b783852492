#pragma once
#include <string>

#include "common/module_log.h"
#include "common/module_state.h"

namespace pelk {

// The two names the workbench hands to a differential image object. Its objects share them, so
// a new object that is not given names makes the image of the names last given.
struct DifferenceImageState {
  std::string standardName;
  std::string referenceName;
  void reset() {
    standardName.clear();
    referenceName.clear();
  }
};

// The differential image module: "diffbmp.bmp" = the standard's first 1079 bytes, then
// (2 x (r - s)) mod 256 position by position.
class TForm120 {
 public:
  using SharedState = DifferenceImageState;
  TForm120() = default;
  explicit TForm120(SharedState& shared) : state_(shared) {}

  ModuleLog Memo1;
  // The text fields of the module's own window, with their initial texts.
  std::string compareFile = "Edit1";    // "Compare"
  std::string referenceFile = "Edit2";  // "Reference"

  void setFileNames(const std::string& standardName, const std::string& referenceName);
  void doDiffBmp();
  void Button1Click();

 private:
  ModuleState<SharedState> state_;
};

}  // namespace pelk

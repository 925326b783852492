#pragma once
#include <array>
#include <string>

#include "common/module_log.h"
#include "maps/map_pass.h"

namespace pelk {

// Intensity map module used by "4. Multi Corr. Highlight Sys.": maps into the ".map1" files.
class TForm1031 {
 public:
  ModuleLog Memo1;
  std::array<std::string, 2> mapInputs;
  std::array<std::string, 2> mapOutputs;

  void setFileNames(const std::string& standardName, const std::string& referenceName);
  void setFilenames2(const std::string& standardName, const std::string& referenceName);
  // Maps mapInputs into mapOutputs, then logs "Done".
  void makeMap();
  void Button1Click();
  void Button2Click() { closed_ = true; }
  void closeApp();
  bool closed() const { return closed_; }

 private:
  bool closed_ = false;
};

}  // namespace pelk

#include "progression/opencv_module.h"

// The program's side of the OpenCV module: runRobustTpa as the rest of the program calls it.

namespace pelk {

RobustTpaResult runRobustTpa(const std::string& baseline, const std::string& followUp1,
                             const std::string& followUp2) {
  const auto& module = toolkitModule<OpencvModule>(
      "pelk40-opencv.so", PELK_MODULE_PATH, "pelkOpencvModule", "The progression analysis module");
  RobustTpaResult result;
  callModule(module.runRobustTpa, baseline, followUp1, followUp2, result);
  return result;
}

}  // namespace pelk

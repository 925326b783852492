#pragma once
#include <string>

#include "common/toolkit_module.h"
#include "progression/robust_tpa.h"

namespace pelk {

// The robust progression analysis and OpenCV in a module of their own (see
// common/toolkit_module.h), progression/opencv/: loaded the first time the analysis runs.
struct OpencvModule {
  bool (*runRobustTpa)(const std::string& baseline, const std::string& followUp1,
                       const std::string& followUp2, RobustTpaResult& result,
                       ModuleFailure& failure);
};

}  // namespace pelk

// The module's one exported symbol.
extern "C" const pelk::OpencvModule* pelkOpencvModule();

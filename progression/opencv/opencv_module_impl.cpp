// The OpenCV module (see progression/opencv_module.h): the robust progression analysis, built
// into a shared object of its own with OpenCV and loaded on first use.
#include "progression/opencv_module.h"

namespace pelk {
namespace {

const OpencvModule kModule{
    [](const std::string& baseline, const std::string& followUp1, const std::string& followUp2,
       RobustTpaResult& result, ModuleFailure& failure) {
      return failure.capture([&] { result = runRobustTpa(baseline, followUp1, followUp2); });
    },
};

}  // namespace
}  // namespace pelk

extern "C" __attribute__((visibility("default"))) const pelk::OpencvModule* pelkOpencvModule() {
  return &pelk::kModule;
}

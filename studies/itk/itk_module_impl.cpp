// The ITK module (see studies/itk_module.h): the 3-D rigid registration, built into a shared
// object of its own with ITK and loaded on first use.
#include "studies/itk_module.h"

namespace pelk {
namespace {

const ItkModule kModule{
    [](const StudyVolume& baseline, const StudyVolume& followUp, const std::string& name,
       const std::vector<std::uint8_t>& baselineHead, RigidRegistration& registration,
       ModuleFailure& failure) {
      return failure.capture(
          [&] { registration = registerRigid(baseline, followUp, name, baselineHead); });
    },
};

}  // namespace
}  // namespace pelk

extern "C" __attribute__((visibility("default"))) const pelk::ItkModule* pelkItkModule() {
  return &pelk::kModule;
}

#include "studies/itk_module.h"

// The program's side of the ITK module: registerRigid as the rest of the program calls it.

namespace pelk {

RigidRegistration registerRigid(const StudyVolume& baseline, const StudyVolume& followUp,
                                const std::string& name,
                                const std::vector<std::uint8_t>& baselineHead) {
  const auto& module = toolkitModule<ItkModule>("pelk40-itk.so", PELK_MODULE_PATH, "pelkItkModule",
                                                "The registration module");
  RigidRegistration registration;
  callModule(module.registerRigid, baseline, followUp, name, baselineHead, registration);
  return registration;
}

}  // namespace pelk

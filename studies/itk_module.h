#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/toolkit_module.h"
#include "studies/rigid_registration_3d.h"

namespace pelk {

// The 3-D rigid registration and ITK in a module of their own (see common/toolkit_module.h),
// studies/itk/: loaded the first time two studies are registered.
struct ItkModule {
  bool (*registerRigid)(const StudyVolume& baseline, const StudyVolume& followUp,
                        const std::string& name, const std::vector<std::uint8_t>& baselineHead,
                        RigidRegistration& registration, ModuleFailure& failure);
};

}  // namespace pelk

// The module's one exported symbol.
extern "C" const pelk::ItkModule* pelkItkModule();

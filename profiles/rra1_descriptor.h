#pragma once
#include "profiles/tform102.h"

namespace pelk {

// The one test RRA-1 runs, from the workbench and from the module's own command alike.
TestDescriptor fixedRRA1Descriptor();

}  // namespace pelk

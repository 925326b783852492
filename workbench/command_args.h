#pragma once
#include <string>

#include "profiles/tform101.h"

namespace pelk {

// The patient and test texts every SQL export receives. The entered test information is
// never passed on.
inline constexpr const char* kExportPatient = "patient1";
inline constexpr const char* kExportTest = "test1";

// The builders take arrays of ten names of which only the first two are used.
inline FileNames10 firstTwo(const std::string& first, const std::string& second) {
  FileNames10 names;
  names[0] = first;
  names[1] = second;
  return names;
}

}  // namespace pelk

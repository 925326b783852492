#pragma once
#include <string>

#include "common/module_log.h"

namespace pelk {

// A slot of the zonal difference list: zone row r and difference d, held as reals.
struct ZoneDifference {
  double r = 0.0;
  double d = 0.0;
};

// The zonal correlation highlight system: zones where mean plus peak grew from profile 1 to
// profile 2, largest first, written to the log and "zchs.dat".
class TForm170 {
 public:
  ModuleLog Memo1;

  void doZchs(const std::string& profileName1, const std::string& profileName2);

  // The module-level difference list as the last run left it: count and slots 0..100.
  static int differenceCount();
  static const ZoneDifference& differenceSlot(int k);
};

}  // namespace pelk

#pragma once
#include <array>
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

  static constexpr int kZones = 100;
  // One slot more than there are zones: with every zone kept, the last lands in slot 100.
  static constexpr int kSlots = kZones + 1;

  // The difference list as this object's last run left it: count and slots 0..100.
  int differenceCount() const { return count_; }
  const ZoneDifference& differenceSlot(int k) const;

 private:
  std::array<ZoneDifference, kSlots> slots_{};
  int count_ = 0;
};

}  // namespace pelk

#include "regions/gate_coordinates.h"

#include "common/rounding.h"

namespace pelk {

// Both factors have three decimals, so the products are exact in thousandths.
int gateXb(int x1) { return static_cast<int>(roundDivEven((512LL - x1) * 1225, 1000)); }

int gateYb(int y1) {
  return static_cast<int>(roundDivEven(static_cast<long long>(y1) * 795, 1000));
}

}  // namespace pelk

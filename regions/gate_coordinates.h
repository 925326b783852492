#pragma once

namespace pelk {

// The seed position the cluster files report beside x1 and y1: xb = (512 - x1) x 1.225 and
// yb = y1 x 0.795, each taken as the exact decimal product and rounded ties-to-even
// (20 x 1.225 = 24.5 gives 24, not the 25 a binary 1.225 would suggest). xb is negative for
// seeds beyond row 512.
int gateXb(int x1);
int gateYb(int y1);

}  // namespace pelk

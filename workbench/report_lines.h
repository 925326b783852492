#pragma once
#include <string>

#include "regions/tform130.h"
#include "regions/tform170.h"

namespace pelk {

// The lines the synopsis reports build from module results instead of copying module logs.

// The separator line of the report headings: 55 "=".
std::string reportRule();

// "Result: " + R9.3 + " Determination: " + "Significant" / "Not Sigificant".
std::string rra1ResultLine(double value, bool significant);
// "Result " + R9.3 + " Determination: " + " Significant" / " Not Significant".
std::string rra2ResultLine(double value, bool significant);

// "Glist idx is " + I5(count - 1).
std::string glistIndexLine(int count);
// I5(k) + " " + R9.3(100 - r) + " : " + R9.3(d).
std::string glistSlotLine(int k, const ZoneDifference& slot);

inline constexpr const char* kClusterHeading =
    "idx    x1    y1     dx    dy    area     intensity xb yb";
// I5 of k, x1, y1, dx, dy, area, then R9.3 of the intensity, then I5 of xb and yb, one blank
// between fields.
std::string clusterRowLine(int k, const GateRegion& region);

// The report's position of a region on the 385-wide view: xb = Round((512 - x1) x 1.225) and
// yb = Round(y1 x 0.795), taken exactly in thousandths, ties to even.
long long reportXb(int x1);
long long reportYb(int y1);

}  // namespace pelk

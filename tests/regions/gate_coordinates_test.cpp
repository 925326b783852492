#include "regions/gate_coordinates.h"

#include <gtest/gtest.h>

namespace pelk {
namespace {

// Exact halves of the decimal products go to the even neighbour; binary factors would tip
// 24.5 and 238.5 upward.
TEST(GateCoordinatesTest, DecimalProductsRoundTiesToEven) {
  EXPECT_EQ(gateXb(492), 24);    // 20 x 1.225 = 24.5
  EXPECT_EQ(gateXb(452), 74);    // 60 x 1.225 = 73.5
  EXPECT_EQ(gateYb(100), 80);    // 79.5
  EXPECT_EQ(gateYb(300), 238);   // 238.5
  EXPECT_EQ(gateXb(5), 621);     // 621.075
  EXPECT_EQ(gateYb(7), 6);       // 5.565
  EXPECT_EQ(gateXb(600), -108);  // -88 x 1.225 = -107.8
  EXPECT_EQ(gateXb(512), 0);
}

}  // namespace
}  // namespace pelk

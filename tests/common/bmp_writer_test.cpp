#include "common/bmp_writer.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pelk {
namespace {

std::uint32_t field32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

std::uint32_t field16(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}

TEST(BmpWriter, HeaderFieldsForBothKinds) {
  struct Case {
    BmpHeader header;
    std::size_t size;       // header bytes written
    std::uint32_t colours;  // colours-used field
  };
  const std::vector<Case> cases = {
      {{.width = 512,
        .height = 300,
        .pixelBytes = 153600,
        .xPixelsPerMetre = 2835,
        .yPixelsPerMetre = 1000,
        .importantColours = 256},
       1078,
       256},
      {{.width = 385, .height = 329, .bitsPerPixel = 24, .pixelBytes = 380052}, 54, 0},
  };
  for (const Case& c : cases) {
    std::string s = "x";  // appends after what is there
    appendBmpHeader(s, c.header);
    s.erase(0, 1);
    ASSERT_EQ(s.size(), c.size);
    EXPECT_EQ(s.substr(0, 2), "BM");
    EXPECT_EQ(field32(s, 2), c.size + c.header.pixelBytes);
    EXPECT_EQ(field32(s, 6), 0u);
    EXPECT_EQ(field32(s, 10), c.size);
    EXPECT_EQ(field32(s, 14), 40u);
    EXPECT_EQ(field32(s, 18), static_cast<std::uint32_t>(c.header.width));
    EXPECT_EQ(field32(s, 22), static_cast<std::uint32_t>(c.header.height));
    EXPECT_EQ(field16(s, 26), 1u);
    EXPECT_EQ(field16(s, 28), static_cast<std::uint32_t>(c.header.bitsPerPixel));
    EXPECT_EQ(field32(s, 30), 0u);
    EXPECT_EQ(field32(s, 34), c.header.pixelBytes);
    EXPECT_EQ(field32(s, 38), c.header.xPixelsPerMetre);
    EXPECT_EQ(field32(s, 42), c.header.yPixelsPerMetre);
    EXPECT_EQ(field32(s, 46), c.colours);
    EXPECT_EQ(field32(s, 50), c.header.importantColours);
  }
}

TEST(BmpWriter, GreyPaletteAndPixelsFollowTheHeaders) {
  const std::string s = greyBmpBytes(3, 1, "abc");
  ASSERT_EQ(s.size(), 1081u);
  for (int i : {0, 1, 200, 255}) {
    EXPECT_EQ(field32(s, 54 + 4 * i), static_cast<std::uint32_t>(i * 0x010101)) << i;
  }
  EXPECT_EQ(s.substr(1078), "abc");
  EXPECT_EQ(field32(s, 34), 3u);  // the pixels as given, not padded
}

TEST(BmpWriter, RowsArePaddedToFourBytes) {
  struct Case {
    std::int32_t width;
    int bits;
    std::size_t bytes;
  };
  for (const Case& c :
       std::vector<Case>{{1, 8, 4}, {4, 8, 4}, {5, 8, 8}, {385, 24, 1156}, {4, 24, 12}})
    EXPECT_EQ(bmpRowBytes(c.width, c.bits), c.bytes) << c.width << " x " << c.bits;
}

TEST(BmpWriter, ResolutionIsZeroForSpacingsItCannotHold) {
  struct Case {
    double mm;
    std::uint32_t ppm;
  };
  const double inf = std::numeric_limits<double>::infinity();
  for (const Case& c : std::vector<Case>{{0.5, 2000},
                                         {0.3, 3333},
                                         {1e3, 1},
                                         {0.0, 0},
                                         {-1.0, 0},
                                         {std::nan(""), 0},
                                         {inf, 0},
                                         {1e-7, 0}})
    EXPECT_EQ(bmpPixelsPerMetre(c.mm), c.ppm) << c.mm;
}

}  // namespace
}  // namespace pelk

#include <cmath>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "studies/dicom_series.h"

namespace pelk {
namespace {

// An oblique series: slices 2.5 mm apart along the normal of a plane tilted about x.
SeriesSlice slice(const std::string& name, double along, int rows = 64, int columns = 64) {
  const double c = std::cos(0.3), s = std::sin(0.3);
  const Vec3 across{1, 0, 0}, down{0, c, s};
  const Vec3 normal{0, -s, c};  // across × down
  return {name,   {10 + normal[0] * along, 20 + normal[1] * along, 30 + normal[2] * along},
          across, down,
          rows,   columns};
}

std::vector<std::string> names(const OrderedSeries& series) {
  std::vector<std::string> out;
  for (const auto& s : series.slices) out.push_back(s.file);
  return out;
}

TEST(DicomSeries, SortsSlicesAlongTheNormalWhateverTheFileOrder) {
  const auto ordered =
      orderSeries({slice("c", 5.0), slice("a", 0.0), slice("d", 7.5), slice("b", 2.5)}, "folder");
  EXPECT_EQ(names(ordered), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_NEAR(ordered.stepMm, 2.5, 1e-9);
}

TEST(DicomSeries, RejectsSeriesThatAreNotOneEvenStack) {
  struct Case {
    const char* what;
    std::vector<SeriesSlice> slices;
    const char* reason;
  };
  const Case cases[] = {
      {"duplicate", {slice("a", 0), slice("b", 2.5), slice("c", 2.5)}, "Duplicate slice position"},
      {"gap",
       {slice("a", 0), slice("b", 2.5), slice("c", 7.5), slice("d", 10)},
       "Gap between slices"},
      {"sizes", {slice("a", 0), slice("b", 2.5, 64, 32)}, "Mixed slice sizes"},
      {"single", {slice("a", 0)}, "single slice"},
  };
  for (const auto& c : cases) {
    try {
      orderSeries(c.slices, "folder");
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const IoError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
          << c.what << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace pelk

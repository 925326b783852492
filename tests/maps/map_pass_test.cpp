#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "maps/map_pass.h"
#include "tests/maps/map_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::MapText;
using test::passBitmap;
using test::readMap;
using test::writeFile;

class MapPassTest : public test::ScratchDirTest {
 protected:
  MapText pass(const std::string& bytes, double* mean = nullptr) {
    writeFile("in.bmp", bytes);
    double m = runMapPass("in.bmp", "out.map", log);
    if (mean) *mean = m;
    return readMap("out.map");
  }
  void expectError(const std::string& bytes, const std::string& message) {
    writeFile("in.bmp", bytes);
    try {
      runMapPass("in.bmp", "out.map", log);
      ADD_FAILURE() << "no error, expected " << message;
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  ModuleLog log;
};

int countOf(const std::vector<long long>& values, long long v) {
  return static_cast<int>(std::count(values.begin(), values.end(), v));
}

TEST_F(MapPassTest, NominalScanReadsItsFirst262144BytesIntoUnevenBlocks) {
  // Pixels of 1, except the last 1078 pixel bytes, which lie past what the pass reads.
  std::string pixels(512 * 512, '\1');
  std::fill(pixels.end() - 1078, pixels.end(), '\xC8');
  const std::string file = test::bmpBytes(512, 512, pixels);
  double mean = 0;
  const MapText map = pass(file, &mean);

  ASSERT_EQ(map.lines.size(), 515u);
  EXPECT_EQ(map.lines[0], "     100       5");
  EXPECT_EQ(map.lines[1], "Mean:       26.214");
  EXPECT_EQ(mean, 26.2144);
  for (std::size_t i = 2; i < map.lines.size(); ++i) ASSERT_EQ(map.lines[i].size(), 4104u) << i;
  ASSERT_EQ(map.cells.size(), 513u);

  long long headerSum = 0;
  for (int o = 0; o < 1078; ++o) headerSum += static_cast<unsigned char>(file[o]);
  EXPECT_EQ(map.sum(), headerSum + (262144 - 1078));

  // Block row 1 holds pass rows 6-10; columns 0-5 form block 0, 6-10 block 1, 506-511 block 99.
  const auto& row1 = map.cells[1];
  EXPECT_EQ(row1[0], 30);
  EXPECT_EQ(row1[1], 25);
  EXPECT_EQ(row1[99], 30);
  EXPECT_EQ(countOf(std::vector<long long>(row1.begin(), row1.begin() + 100), 30), 12);
  EXPECT_EQ(countOf(std::vector<long long>(row1.begin(), row1.begin() + 100), 25), 88);
  EXPECT_EQ(map.cells[99][99], 36);
  for (int i = 0; i < 513; ++i) {
    for (int j = 100; j < 513; ++j) ASSERT_EQ(map.cells[i][j], 0) << i << "," << j;
    if (i >= 100) {
      ASSERT_EQ(countOf(map.cells[i], 0), 513) << i;
    }
  }
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Memo1", "X size is 512", "Y Size is 512"}));
}

TEST_F(MapPassTest, LastColumnOf460GetsBlock100AndLastRowOf280StaysInBlock99) {
  MapText map = pass(passBitmap(460, 280, [](int, int col) { return col == 459 ? 1 : 0; }));
  long long column100 = 0;
  for (int i = 0; i < 100; ++i) {
    EXPECT_TRUE(map.cells[i][100] == 2 || map.cells[i][100] == 3) << i;
    EXPECT_EQ(map.cells[i][99], 0);
    column100 += map.cells[i][100];
  }
  EXPECT_EQ(column100, 280);
  EXPECT_EQ(map.cells[100][100], 0);

  map = pass(passBitmap(460, 280, [](int row, int) { return row == 279 ? 1 : 0; }));
  long long row99 = 0;
  for (int j = 0; j <= 100; ++j) row99 += map.cells[99][j];
  EXPECT_EQ(row99, 460);
  EXPECT_EQ(map.cells[99][100], 1);
  // The header's size bytes (460 = 0x01CC, 280 = 0x0118) are binned like pixels.
  EXPECT_EQ(map.sum(), 460 + 0xCC + 0x01 + 0x18 + 0x01);
}

TEST_F(MapPassTest, HundredAndOneSquareGivesOnePixelPerBlockWhateverTheHighSizeBytes) {
  auto value = [](int row, int col) { return (row * 31 + col * 7) % 256; };
  // 65637 and 131173 are 101 modulo 65536.
  for (long long field : {101LL, 65637LL, 131173LL}) {
    const std::string file = passBitmap(101, 101, value, field, field);
    log.lines = {"Memo1"};
    const MapText map = pass(file);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Memo1", "X size is 101", "Y Size is 101"}));
    EXPECT_EQ(map.lines[1], "Mean:        1.020");
    for (int i = 0; i < 513; ++i)
      for (int j = 0; j < 513; ++j) {
        long long expected =
            i <= 100 && j <= 100 ? static_cast<unsigned char>(file[i * 101 + j]) : 0;
        ASSERT_EQ(map.cells[i][j], expected) << field << ": " << i << "," << j;
      }
  }
}

TEST_F(MapPassTest, ZeroWidthOrHeightWritesAnAllZeroMap) {
  for (auto [w, h] : {std::pair{0, 512}, std::pair{512, 0}, std::pair{1, 0}, std::pair{0, 0}}) {
    const MapText map = pass(passBitmap(
        8, 8, [](int, int) { return 9; }, w, h));
    ASSERT_EQ(map.lines.size(), 515u);
    EXPECT_EQ(map.lines[1], "Mean:        0.000");
    EXPECT_EQ(map.sum(), 0) << w << "x" << h;
  }
}

TEST_F(MapPassTest, WidthOrHeightOfOneIsTooSmallAndLeavesTheFirstLine) {
  expectError(passBitmap(1, 300, [](int, int) { return 1; }),
              "Image too small for intensity maps: in.bmp");
  EXPECT_EQ(test::readFile("out.map"), "     100       5\r\n");
  expectError(passBitmap(300, 1, [](int, int) { return 1; }),
              "Image too small for intensity maps: in.bmp");
  EXPECT_EQ(test::readFile("out.map"), "     100       5\r\n");
}

TEST_F(MapPassTest, ShortOrMissingBitmapsStopWithAClearError) {
  expectError(test::bmpBytes(512, 512, std::string(1000, '\1')), "Read beyond end of file: in.bmp");
  EXPECT_EQ(test::readFile("out.map"), "     100       5\r\n");
  EXPECT_EQ(log.lines.back(), "Y Size is 512");

  // A file one byte short of width x height is still short.
  expectError(passBitmap(200, 200, [](int, int) { return 1; }).substr(0, 39999),
              "Read beyond end of file: in.bmp");

  std::remove("out.map");
  expectError(std::string(20, '\0'), "Read beyond end of file: in.bmp");
  EXPECT_FALSE(test::fileExists("out.map"));
  EXPECT_THROW(runMapPass("absent.bmp", "out.map", log), IoError);
  EXPECT_FALSE(test::fileExists("out.map"));
}

}  // namespace
}  // namespace pelk

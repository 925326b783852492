#include "workbench/read_img_file.h"

#include <array>

#include "common/file_io.h"
#include "common/io_error.h"
#include "common/rounding.h"

namespace pelk {
namespace {

constexpr std::size_t kSkippedBytes = 1070;
constexpr int kScanSide = 512;
constexpr int kGridCells = 10;
constexpr unsigned kWhiteLimit = 20;
constexpr std::uint32_t kWhite = 0xFFFFFFu;
constexpr std::uint32_t kBlack = 0;

// Where scan column (or row) i lands: Trunc(i * scale), the product in extended precision.
std::array<int, kScanSide> viewPositions(double scale) {
  std::array<int, kScanSide> at{};
  for (int i = 0; i < kScanSide; ++i)
    at[static_cast<std::size_t>(i)] =
        static_cast<int>(truncToInt(static_cast<long double>(i) * scale));
  return at;
}

std::uint32_t scanColor(unsigned char p) {
  return p <= kWhiteLimit ? kWhite : std::uint32_t{p} * 256u;
}

void drawGrid(Picture& view) {
  const int w = view.width();
  const int h = view.height();
  const double sx = static_cast<double>(w) / kGridCells;
  const double sy = static_cast<double>(h) / kGridCells;
  // h / 10 is not exact as a double: for h = 329 the last horizontal line truncates to 328 and
  // lands on the bottom row, while the last vertical one falls just outside the picture.
  for (int k = 1; k <= kGridCells; ++k) {
    const int x = static_cast<int>(truncToInt(static_cast<long double>(k) * sx));
    view.setPenColor(kBlack);
    view.moveTo(x, 0);
    view.lineTo(x, h);
  }
  for (int k = 1; k <= kGridCells; ++k) {
    const int y = static_cast<int>(truncToInt(static_cast<long double>(k) * sy));
    view.setPenColor(kBlack);
    view.moveTo(0, y);
    view.lineTo(w, y);
  }
  for (int k = 1; k <= kGridCells; ++k) {
    const char letter[2] = {static_cast<char>('A' + k - 1), '\0'};
    view.setPenColor(kBlack);
    view.textOut(static_cast<int>(truncToInt(static_cast<long double>(k - 1) * sx + 5)), 0, letter);
  }
  for (int k = 1; k <= kGridCells; ++k) {
    const char digit[2] = {static_cast<char>('0' + k - 1), '\0'};
    view.setPenColor(kBlack);
    view.textOut(15, static_cast<int>(truncToInt(static_cast<long double>(k - 1) * sy)) + 5, digit);
  }
}

}  // namespace

void readImgFile(const std::string& fileName, Picture& view) {
  const std::string bytes =
      readFileHead(fileName, kSkippedBytes + std::size_t{kScanSide} * kScanSide);
  const double sx = static_cast<double>(view.width()) / kScanSide;
  const double sy = static_cast<double>(view.height()) / kScanSide;
  const std::array<int, kScanSide> columnAt = viewPositions(sx);
  const std::array<int, kScanSide> rowAt = viewPositions(sy);

  std::size_t pos = kSkippedBytes;
  for (int n = kScanSide - 1; n >= 0; --n) {
    const int y = rowAt[static_cast<std::size_t>(n)];
    for (int i = 0; i < kScanSide; ++i) {
      if (pos >= bytes.size()) throw IoError("Read beyond end of file: " + fileName);
      view.setPixel(columnAt[static_cast<std::size_t>(i)], y,
                    scanColor(static_cast<unsigned char>(bytes[pos++])));
    }
  }
  drawGrid(view);
}

}  // namespace pelk

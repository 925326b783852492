#include "studies/study_picture.h"

#include <functional>
#include <string>

#include "studies/matched_slices.h"

namespace pelk {
namespace {

constexpr int kPanel = kNominalSide / 2;
constexpr int kMargin = 8;
constexpr int kLabel = 12;
constexpr int kSquare = 32;  // checkerboard squares, in panel pixels

std::uint32_t rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b) << 16;
}

std::uint32_t grey(int g) { return rgb(g, g, g); }

// A colour over the grey level, the anatomy still showing through.
std::uint32_t tint(int g, int r, int gg, int b) {
  return rgb((r + g) / 2, (gg + g) / 2, (b + g) / 2);
}

int sourceIndex(int x, int y) { return (2 * y) * kNominalSide + 2 * x; }

void drawPanel(Picture& picture, int left, int top, const std::string& label,
               const std::function<std::uint32_t(int, int)>& colour) {
  picture.setBrushColor(0xFFFFFF);
  picture.textOut(left, top, label);
  for (int y = 0; y < kPanel; ++y)
    for (int x = 0; x < kPanel; ++x) picture.setPixel(left + x, top + kLabel + y, colour(x, y));
}

}  // namespace

Picture studyPicture(const StudyResult& result, const std::vector<NominalPicture>& slices) {
  const int columns = static_cast<int>(slices.size());
  const int width = kMargin + columns * (kPanel + kMargin);
  const int rowHeight = kLabel + kPanel + kMargin;
  Picture picture(width, kMargin + 2 * rowHeight);
  picture.fill(0xFFFFFF);

  std::vector<std::vector<std::uint8_t>> lesions;
  for (const auto& f : result.followUps)
    lesions.push_back(nominalMaskSlice(result.baseline, f.change.labels, result.slice));
  const auto pixel = [&](std::size_t n, int x, int y) -> int {
    return slices[n].pixels[static_cast<std::size_t>(sourceIndex(x, y))];
  };

  drawPanel(picture, kMargin, kMargin, "BASELINE " + std::to_string(result.slice),
            [&](int x, int y) { return grey(pixel(0, x, y)); });
  for (std::size_t n = 0; n < result.followUps.size(); ++n) {
    const int left = kMargin + static_cast<int>(n + 1) * (kPanel + kMargin);
    const bool twoFollowUps = result.followUps.size() == 2;
    drawPanel(picture, left, kMargin, "FOLLOW-UP " + std::to_string(n + 1), [&](int x, int y) {
      const int g = pixel(n + 1, x, y);
      const auto at = static_cast<std::size_t>(sourceIndex(x, y));
      const bool now = lesions[n][at] != 0;
      const bool before = n == 1 && lesions[0][at] != 0;
      if (n == 1 && twoFollowUps) {
        if (now && before) return tint(g, 255, 160, 0);
        if (before) return tint(g, 0, 80, 255);
      }
      return now ? tint(g, 255, 0, 0) : grey(g);
    });
    drawPanel(picture, left, kMargin + rowHeight, "CHECKER " + std::to_string(n + 1),
              [&](int x, int y) {
                const bool baselineSquare = ((x / kSquare) + (y / kSquare)) % 2 == 0;
                return grey(pixel(baselineSquare ? 0 : n + 1, x, y));
              });
  }
  return picture;
}

}  // namespace pelk

#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/module_log.h"
#include "common/module_state.h"

namespace pelk {

class Picture;

// The block score of two map cells: (a - b)^2 / a, divided by 0.001 instead when |a| <= 0.001.
double blockScore(double a, double b);

// The threshold the highlight objects of one workbench share: it decides which scores light up
// a block and which points are kept. A new object starts it at 50; drawing the highlights
// raises it to 5000.
struct HighlightState {
  static constexpr double kStartThreshold = 50.0;
  double threshold = kStartThreshold;
  void reset() { threshold = kStartThreshold; }
};

// The multi correlation highlight system: scores two intensity maps block by block, marks the
// blocks that reach the threshold on the image view and lists them strongest first.
class TForm104 {
 public:
  static constexpr int kCapacity = 10001;

  using SharedState = HighlightState;
  TForm104();  // FormCreate: no points, threshold 50.0
  explicit TForm104(SharedState& shared);

  ModuleLog Memo1;
  int pointCount = 0;
  std::array<std::int32_t, kCapacity + 1> pointX{};  // 1-based
  std::array<std::int32_t, kCapacity + 1> pointY{};
  std::array<double, kCapacity + 1> pointValue{};
  std::string mapName1;
  std::string mapName2;

  void setFileNames(const std::string& name1, const std::string& name2);
  void performMCHS(const std::string& name1, const std::string& name2, Picture& view);
  void addPoint(std::int32_t x, std::int32_t y, double value);
  void drawHighlights(Picture& view);
  void reportResults();
  // The points strongest first, in the order of the system's exchange sort over 1..pointCount.
  void sortPointsByValue();
  void resetThreshold();
  void scanTestGrid();
  static double cellScore(double a, double b);
  void Button1Click();

  double threshold() const;  // shared with the workbench's other highlight objects

 private:
  ModuleState<SharedState> state_;
};

// The false-colour walk over the ".map" pair: every block's pixel set to its score's colour
// (x = Trunc(i * ws - 25)), each block passed to module.addPoint, then module.reportResults().
void paintFalseColor(TForm104& module, Picture& view, const std::string& standardMap,
                     const std::string& referenceMap);

}  // namespace pelk

#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/module_log.h"
#include "common/module_state.h"

namespace pelk {

using FileNames10 = std::array<std::string, 10>;

// The table every profile pass of a TForm101 counts into, hist[band][bin] for bands and bins
// 0..256 (bin 256 is never filled). Each pass clears it first, so it carries nothing from one
// image to the next; it is kept here only so that its 264 KB are not set up again per image.
struct ProfileHistogram {
  static constexpr int kSize = 257;
  using Table = std::array<std::array<std::int32_t, kSize>, kSize>;
  Table hist{};
  void reset() { hist = {}; }
};

// The histogram profile module: turns bitmaps into "param1" profile files (100 bands along the
// width, five numbers each) and the database text "vhist3.db.txt" (100 bands along the height).
class TForm101 {
 public:
  using SharedState = ProfileHistogram;
  TForm101() = default;
  explicit TForm101(SharedState& shared) : state_(shared) {}

  ModuleLog Memo1;

  // Writes the job list "vhist3.dat" naming the two images.
  void SetupParam1(const std::string& standardImage, const std::string& referenceImage);
  // Builds inputs[0] into outputs[0], then inputs[1] into outputs[1], with empty labels.
  void MakeParam2Files(FileNames10 inputs, FileNames10 outputs);
  // Builds one profile per entry of "vhist3.dat"; logs "Done" at the end.
  void MakeParam1Files();
  // The module's own "Run": the job-list loop stopping with "Done Processing" at the end entry.
  void Button1Click();
  // The module's own "Exit".
  void Button2Click() { closed_ = true; }
  bool closed() const { return closed_; }

 private:
  ModuleState<SharedState> state_;
  bool closed_ = false;
};

}  // namespace pelk

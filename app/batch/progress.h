#pragma once
#include <chrono>
#include <cstdio>
#include <string>

namespace pelk {

// Tells the user how the batch goes: on a terminal one progress bar redrawn in place, otherwise
// one plain line per finished row, which a log file keeps readable.
class Progress {
 public:
  Progress(std::FILE* out, bool terminal, long totalRows);
  void rowEnded(const std::string& line, bool failed);
  void setRunning(int running) { running_ = running; }
  // Redraws the bar at most a few times a second.
  void tick();
  // Leaves the bar's line and prints `line` below it.
  void finish(const std::string& line);

 private:
  void draw();

  std::FILE* out_;
  bool terminal_;
  long total_;
  long done_ = 0, failed_ = 0;
  int running_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastDraw_{};
};

std::string clockText(double seconds);  // "1:05", "2:03:04"

}  // namespace pelk

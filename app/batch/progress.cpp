#include "app/batch/progress.h"

#include <algorithm>

namespace pelk {

std::string clockText(double seconds) {
  long s = static_cast<long>(seconds + 0.5);
  char text[32];
  if (s >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

Progress::Progress(std::FILE* out, bool terminal, long totalRows)
    : out_(out), terminal_(terminal), total_(totalRows) {}

void Progress::rowEnded(const std::string& line, bool failed) {
  ++(failed ? failed_ : done_);
  if (terminal_) {
    tick();
    return;
  }
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void Progress::tick() {
  if (!terminal_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < std::chrono::milliseconds(200)) return;
  lastDraw_ = now;
  draw();
}

void Progress::draw() {
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const long ended = done_ + failed_;
  constexpr int kWidth = 30;
  const int filled = total_ > 0 ? static_cast<int>(kWidth * std::min(ended, total_) / total_) : 0;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kWidth, '.');
  std::string left = "?";
  if (ended > 0 && total_ >= ended) left = clockText(elapsed / ended * (total_ - ended));
  std::fprintf(out_, "\r[%s] %ld/%ld  done %ld  failed %ld  running %d  elapsed %s  left %s\x1b[K",
               bar.c_str(), ended, total_, done_, failed_, running_, clockText(elapsed).c_str(),
               left.c_str());
  std::fflush(out_);
}

void Progress::finish(const std::string& line) {
  if (terminal_) {
    draw();
    std::fprintf(out_, "\n");
  }
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

}  // namespace pelk

#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/module_log.h"

namespace pelk {

// The window's results area: an append-only list of lines, saved and printed as a whole.
class ResultsArea {
 public:
  ResultsArea() = default;

  void append(std::string line) {
    if (beforeEachLine_) beforeEachLine_();
    lines_.push_back(std::move(line));
  }
  // A line added after a command has ended, which no check stops.
  void appendClosingLine(std::string line) { lines_.push_back(std::move(line)); }
  // A check run before each line a command adds: the window's Cancel stops a command there.
  void setBeforeEachLine(std::function<void()> check) { beforeEachLine_ = std::move(check); }
  // The user may edit the results area; what they leave there is what is saved and printed.
  void setLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
  // The module's log, its "Memo1" line included, after the last line.
  void appendModuleLog(const ModuleLog& log);

  const std::vector<std::string>& lines() const { return lines_; }
  std::size_t count() const { return lines_.size(); }
  const std::string& line(std::size_t i) const { return lines_.at(i); }

  // The whole text: every line followed by CR LF.
  std::string text() const;
  // Writes the whole text and one more line end to a file created or replaced at once.
  void saveTo(const std::string& path) const;

 private:
  std::vector<std::string> lines_{"Results Area", ""};
  std::function<void()> beforeEachLine_;
};

}  // namespace pelk

#include "workbench/results_area.h"

#include "common/file_io.h"

namespace pelk {

void ResultsArea::appendModuleLog(const ModuleLog& log) {
  if (beforeEachLine_) beforeEachLine_();
  lines_.insert(lines_.end(), log.lines.begin(), log.lines.end());
}

std::string ResultsArea::text() const {
  std::size_t size = 0;
  for (const auto& l : lines_) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return out;
}

void ResultsArea::saveTo(const std::string& path) const {
  OutFile file(path);
  file.text() = text();
  file.endLine();
  file.close();
}

}  // namespace pelk

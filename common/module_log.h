#pragma once
#include <string>
#include <vector>

namespace pelk {

// The log of a module object (its `Memo1`): an ordered list of lines that starts with the single
// line "Memo1". The workbench copies it whole, that first line included.
struct ModuleLog {
  std::vector<std::string> lines{"Memo1"};

  void add(std::string line) { lines.push_back(std::move(line)); }
  void addEmpty() { lines.emplace_back(); }
};

}  // namespace pelk

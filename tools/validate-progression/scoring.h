#pragma once
#include <optional>
#include <string>
#include <vector>

#include "progression/progression_verdict.h"

namespace pelk::validation {

// Verdicts against the truth for one method under one condition. A run that ended in an error
// is scored wrong and counted apart.
class Confusion {
 public:
  void add(ProgressionVerdict truth, std::optional<ProgressionVerdict> answer);
  void add(const Confusion& other);
  int total() const;
  int correct() const;
  double accuracy() const;  // percent
  int errors() const { return errors_[0] + errors_[1] + errors_[2]; }
  // Markdown table: one row per true verdict, one column per answer.
  std::vector<std::string> table(const std::string& title) const;

 private:
  int cells_[3][3] = {};
  int errors_[3] = {};
};

}  // namespace pelk::validation

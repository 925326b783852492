#include "tools/validate-progression/scoring.h"

#include "common/format.h"

namespace pelk::validation {
namespace {

// Table order: from falling to rising burden.
constexpr ProgressionVerdict kOrder[] = {ProgressionVerdict::Decreasing, ProgressionVerdict::Stable,
                                         ProgressionVerdict::Increasing};

int slot(ProgressionVerdict v) {
  for (int i = 0; i < 3; ++i)
    if (kOrder[i] == v) return i;
  return 1;
}

}  // namespace

void Confusion::add(ProgressionVerdict truth, std::optional<ProgressionVerdict> answer) {
  if (answer) ++cells_[slot(truth)][slot(*answer)];
  else ++errors_[slot(truth)];
}

void Confusion::add(const Confusion& other) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) cells_[i][j] += other.cells_[i][j];
    errors_[i] += other.errors_[i];
  }
}

int Confusion::total() const {
  int n = errors();
  for (const auto& row : cells_)
    for (int v : row) n += v;
  return n;
}

int Confusion::correct() const { return cells_[0][0] + cells_[1][1] + cells_[2][2]; }

double Confusion::accuracy() const { return total() ? 100.0 * correct() / total() : 0.0; }

std::vector<std::string> Confusion::table(const std::string& title) const {
  std::vector<std::string> lines;
  lines.push_back("| " + title +
                  " | answered DECREASING | answered STABLE | answered INCREASING | error |");
  lines.push_back("|---|---:|---:|---:|---:|");
  for (int i = 0; i < 3; ++i) {
    std::string row = "| truly ";
    row += verdictName(kOrder[i]);
    row += " |";
    for (int j = 0; j < 3; ++j) {
      row += ' ';
      row += std::to_string(cells_[i][j]);
      row += " |";
    }
    row += ' ';
    row += std::to_string(errors_[i]);
    row += " |";
    lines.push_back(row);
  }
  return lines;
}

}  // namespace pelk::validation

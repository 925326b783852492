#include "app/batch/key_results.h"

#include <cctype>
#include <sstream>

#include "app/batch/atomic_file.h"

namespace pelk {
namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The analyses word a determination in several ways, one with a typo; the summary uses two.
std::string determination(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("not") != std::string::npos || lower.find("false") != std::string::npos
             ? "Not Significant"
             : "Significant";
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The integer after "NAME": in a flat JSON object, or empty.
std::string jsonInteger(const std::string& json, const std::string& name) {
  const auto at = json.find("\"" + name + "\":");
  if (at == std::string::npos) return {};
  std::size_t i = at + name.size() + 3;
  while (i < json.size() && json[i] == ' ') ++i;
  std::size_t end = i;
  while (end < json.size() &&
         (std::isdigit(static_cast<unsigned char>(json[end])) || json[end] == '-'))
    ++end;
  return json.substr(i, end - i);
}

}  // namespace

std::vector<std::string> KeyResults::columnNames() {
  return {"rra1", "rra2", "legacy_verdict", "robust_verdict", "burden1_px", "burden2_px"};
}

std::vector<std::string> KeyResults::columns() const {
  return {rra1, rra2, legacyVerdict, robustVerdict, burden1, burden2};
}

const std::vector<std::string>& keyResultFiles() {
  static const std::vector<std::string> files = {"results.txt", "progression.json"};
  return files;
}

KeyResults readKeyResults(const std::filesystem::path& rowDir) {
  KeyResults found;
  std::string text;
  if (readSmallFile(rowDir / "results.txt", text)) {
    // The last of each kind wins: a later command repeats an analysis on the same scans.
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      const auto at = line.find("Determination:");
      if (at != std::string::npos && startsWith(line, "Result: "))
        found.rra1 = determination(line.substr(at + 14));
      else if (startsWith(line, "RRA Result is ")) found.rra1 = determination(line.substr(14));
      else if (at != std::string::npos && startsWith(line, "Result "))
        found.rra2 = determination(line.substr(at + 14));
      else if (startsWith(line, "is that the result is "))
        found.rra2 = determination(line.substr(22));
      else if (startsWith(line, "Tumor Progression is "))
        found.legacyVerdict = trimmed(line.substr(21));
      else if (startsWith(line, "Robust verdict: ")) found.robustVerdict = trimmed(line.substr(16));
    }
  }
  if (!found.robustVerdict.empty() && readSmallFile(rowDir / "progression.json", text)) {
    found.burden1 = jsonInteger(text, "burden1");
    found.burden2 = jsonInteger(text, "burden2");
  }
  return found;
}

}  // namespace pelk

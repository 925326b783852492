#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace pelk::fuzz {

// Every reader works on files with fixed names in the current directory, so each fuzzer runs
// in a scratch folder of its own and writes its input there before each run.
inline void enterScratchFolder() {
  static bool entered = false;
  if (entered) return;
  std::string pattern = (std::filesystem::temp_directory_path() / "pelk-fuzz-XXXXXX").string();
  if (char* made = mkdtemp(pattern.data())) std::filesystem::current_path(made);
  entered = true;
}

inline std::string asString(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Splits one input into two files at its first byte's proportion, so readers of pairs see two
// different files.
inline std::pair<std::string, std::string> splitInTwo(const std::string& input) {
  if (input.empty()) return {"", ""};
  std::size_t cut = 1 + (static_cast<unsigned char>(input[0]) * (input.size() - 1)) / 255;
  return {input.substr(1, cut - 1), input.substr(cut)};
}

}  // namespace pelk::fuzz

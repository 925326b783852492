#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include <unistd.h>

#include "common/file_io.h"

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

// The input of a target that drives several readers: byte 0 picks the reader, bytes 1-3 give
// the length of the first file (little endian, cut to what is there) and the rest is the first
// file followed by the second. The seed generator builds its seeds with makeCase, so a seed
// holds exactly the valid files it was made from, and mutations of the length bytes cut the
// pair anywhere.
struct Case {
  unsigned selector = 0;
  std::string first;
  std::string second;
};

inline constexpr std::size_t kCaseHeader = 4;

inline Case parseCase(const std::uint8_t* data, std::size_t size) {
  Case c;
  if (size == 0) return c;
  c.selector = data[0];
  if (size < kCaseHeader) return c;
  const std::size_t announced =
      data[1] | (std::size_t{data[2]} << 8) | (std::size_t{data[3]} << 16);
  const std::size_t rest = size - kCaseHeader;
  const std::size_t length = std::min(announced, rest);
  const char* bytes = reinterpret_cast<const char*>(data) + kCaseHeader;
  c.first.assign(bytes, length);
  c.second.assign(bytes + length, rest - length);
  return c;
}

inline std::string makeCase(unsigned selector, std::string_view first,
                            std::string_view second = {}) {
  std::string s;
  s.push_back(static_cast<char>(selector));
  for (int i = 0; i < 3; ++i) s.push_back(static_cast<char>((first.size() >> (8 * i)) & 0xFF));
  s += first;
  s += second;
  return s;
}

// Job lists name the files their builders read and write; a fuzzed name must not leave the
// scratch folder, so path separators become plain characters.
inline std::string confined(std::string text) {
  std::replace(text.begin(), text.end(), '/', '_');
  std::replace(text.begin(), text.end(), '\\', '_');
  return text;
}

inline void put(const std::string& name, std::string_view content) {
  writeWholeFile(name, content);
}

}  // namespace pelk::fuzz

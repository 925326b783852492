#include "bench/golden_outputs.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace pelk::bench {
namespace {

// FNV-1a, 64 bits: enough to tell a changed byte from an unchanged run.
struct Fnv {
  std::uint64_t h = 14695981039346656037ULL;
  void add(std::string_view s) {
    for (unsigned char c : s) {
      h ^= c;
      h *= 1099511628211ULL;
    }
    // The length closes each piece, so "ab" + "c" differs from "a" + "bc".
    for (std::size_t n = s.size(), i = 0; i < 8; ++i, n >>= 8) {
      h ^= n & 0xFF;
      h *= 1099511628211ULL;
    }
  }
};

}  // namespace

std::uint64_t outputDigest(const std::vector<WrittenFile>& files, const Lines& lines) {
  Fnv fnv;
  for (const WrittenFile& f : files) {
    fnv.add(f.path);
    fnv.add(f.bytes);
  }
  for (const std::string& line : lines) fnv.add(line);
  return fnv.h;
}

GoldenOutputs::GoldenOutputs(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_);
  std::string line;
  while (std::getline(in, line)) {
    // The key may hold blanks; the digest and the byte count are the last two fields.
    const auto last = line.rfind(' ');
    const auto middle = last == std::string::npos ? last : line.rfind(' ', last - 1);
    if (middle == std::string::npos) continue;
    Entry e;
    e.digest = std::stoull(line.substr(middle + 1, last - middle - 1), nullptr, 16);
    e.bytes = std::stoull(line.substr(last + 1));
    stored_[line.substr(0, middle)] = e;
  }
}

bool GoldenOutputs::check(const std::string& key, std::uint64_t digest, std::size_t bytes) {
  seen_[key] = Entry{digest, bytes};
  auto it = stored_.find(key);
  if (it == stored_.end()) return true;
  if (it->second.digest == digest && it->second.bytes == bytes) return true;
  ++mismatches_;
  std::fprintf(stderr,
               "OUTPUT CHANGED: %s (digest %016" PRIx64 ", %zu bytes; golden %016" PRIx64
               ", %zu bytes)\n",
               key.c_str(), digest, bytes, it->second.digest, it->second.bytes);
  return false;
}

void GoldenOutputs::save() const {
  std::map<std::string, Entry> merged = stored_;
  for (const auto& [key, e] : seen_) merged[key] = e;
  std::ostringstream out;
  for (const auto& [key, e] : merged) {
    char digest[17];
    std::snprintf(digest, sizeof digest, "%016" PRIx64, e.digest);
    out << key << ' ' << digest << ' ' << e.bytes << '\n';
  }
  std::ofstream(path_) << out.str();
}

}  // namespace pelk::bench

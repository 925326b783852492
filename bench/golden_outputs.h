#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_case.h"
#include "bench/write_recorder.h"

namespace pelk::bench {

// A fingerprint of everything one run of an operation produced: each file it wrote (name and
// bytes, in order) and its text lines. Speed work must leave every fingerprint as it was.
std::uint64_t outputDigest(const std::vector<WrittenFile>& files, const Lines& lines);

// The fingerprints recorded before any speed work, one "key digest bytes" line per case, kept in
// the source tree beside the benchmark.
class GoldenOutputs {
 public:
  explicit GoldenOutputs(std::string path);
  // True when the key is unknown (then it is recorded) or its digest matches.
  bool check(const std::string& key, std::uint64_t digest, std::size_t bytes);
  // Rewrites the file with the digests seen in this run; cases not run keep theirs.
  void save() const;
  bool anyMismatch() const { return mismatches_ > 0; }
  bool knows(const std::string& key) const { return stored_.count(key) > 0; }

 private:
  struct Entry {
    std::uint64_t digest = 0;
    std::size_t bytes = 0;
  };
  std::string path_;
  std::map<std::string, Entry> stored_;
  std::map<std::string, Entry> seen_;
  int mismatches_ = 0;
};

}  // namespace pelk::bench

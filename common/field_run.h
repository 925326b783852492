#pragma once
#include <cstddef>
#include <string>

namespace pelk {

// Appends a run of `count` fields to `out`, field k written by put(at, k), which stores at most
// `room` characters at `at` and returns the position after those it wrote. The fields are built
// in a local buffer, 128 at a time, and each batch is appended at once: with a local write
// position the compiler keeps it in a register, which a string or an object member shared with
// the character stores does not allow. For rows of hundreds of numbers (map files, scripts).
template <class Put>
void appendFieldRun(std::string& out, int count, std::size_t room, Put put) {
  constexpr int kBatch = 128;
  constexpr std::size_t kBufferSize = 8192;
  if (room * kBatch > kBufferSize) {
    // Fields this wide are never written in runs; build them one at a time.
    std::string field(room, '\0');
    for (int k = 0; k < count; ++k)
      out.append(field.data(), static_cast<std::size_t>(put(field.data(), k) - field.data()));
    return;
  }
  char buffer[kBufferSize];
  for (int first = 0; first < count; first += kBatch) {
    const int last = count - first < kBatch ? count : first + kBatch;
    char* at = buffer;
    for (int k = first; k < last; ++k) at = put(at, k);
    out.append(buffer, static_cast<std::size_t>(at - buffer));
  }
}

}  // namespace pelk

#pragma once
#include <cstring>
#include <string>
#include <string_view>

#include "common/fixed_width.h"
#include "common/format.h"

namespace pelk {

// Appends text and fixed-width numbers to a string through a local buffer, so a number costs a
// few stores rather than a string append of its own; the buffer goes to the string whenever it
// fills and at flush() (or when the appender goes away). The string must not be touched
// otherwise while the appender holds unflushed text.
class TextAppender {
 public:
  explicit TextAppender(std::string& out) : out_(out) {}
  ~TextAppender() { flush(); }
  TextAppender(const TextAppender&) = delete;
  TextAppender& operator=(const TextAppender&) = delete;

  // As appendInt.
  void putInt(long long value, int width) {
    if (!room(kIntFieldRoom(width))) return appendInt(out_, value, width);
    at_ = pelk::putInt(at_, value, width);
  }
  // As appendIntColumn.
  void putIntColumn(long long value, int width) {
    if (!room(kIntFieldRoom(width))) return appendIntColumn(out_, value, width);
    at_ = pelk::putIntColumn(at_, value, width);
  }
  void put(char c) {
    room(1);
    *at_++ = c;
  }
  void put(std::string_view text) {
    if (!room(text.size())) {
      out_.append(text);
      return;
    }
    std::memcpy(at_, text.data(), text.size());
    at_ += text.size();
  }
  // Exactly N characters, copied with a length known when compiling.
  template <std::size_t N>
  void putFixed(const char* text) {
    static_assert(N <= kSize);
    room(N);
    std::memcpy(at_, text, N);
    at_ += N;
  }
  void flush() {
    out_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
    at_ = buffer_;
  }

 private:
  static constexpr std::size_t kSize = 8192;

  // Makes room for `count` characters in the buffer; false when they could never fit, after the
  // buffer was flushed, so the caller appends to the string directly.
  bool room(std::size_t count) {
    if (static_cast<std::size_t>(buffer_ + kSize - at_) >= count) return true;
    flush();
    return count <= kSize;
  }

  std::string& out_;
  char buffer_[kSize];
  char* at_ = buffer_;
};

}  // namespace pelk

#pragma once
#include <charconv>
#include <cstddef>
#include <cstring>

namespace pelk {

// Integers written straight into a character buffer, for the files with hundreds of thousands
// of numbers (map files, map and difference-image scripts): the same characters appendInt and
// appendIntColumn produce, with no string growth or library call per number in the common case.
//
// Room: a call may store up to kIntFieldRoom(width) characters at `at`, even when it writes fewer,
// and returns the position after the characters written.
constexpr std::size_t kMostIntChars = 20;  // "-9223372036854775808"
constexpr std::size_t kIntFieldRoom(int width) {
  return (width > 16 ? static_cast<std::size_t>(width) : 16) + kMostIntChars + 1;
}

namespace fixed_width_detail {

inline constexpr long long kTenTo[17] = {1,
                                         10,
                                         100,
                                         1000,
                                         10000,
                                         100000,
                                         1000000,
                                         10000000,
                                         100000000,
                                         1000000000,
                                         10000000000,
                                         100000000000,
                                         1000000000000,
                                         10000000000000,
                                         100000000000000,
                                         1000000000000000,
                                         10000000000000000};

// Blanks over the whole field, then the digits from its right end.
inline char* fillField(char* at, unsigned long long value, int width) {
  std::memcpy(at, "                ", 16);
  char* p = at + width;
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return at + width;
}

// Any value and width: blanks on the left up to the width (or one blank when `separate` and the
// number fills its field), then the number in full.
inline char* writeGeneral(char* at, long long value, int width, bool separate) {
  char digits[kMostIntChars + 4];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  if (width > 0 && length < static_cast<std::size_t>(width)) {
    std::memset(at, ' ', static_cast<std::size_t>(width) - length);
    at += static_cast<std::size_t>(width) - length;
  } else if (separate) {
    *at++ = ' ';
  }
  std::memcpy(at, digits, length);
  return at + length;
}

}  // namespace fixed_width_detail

// As appendInt: right-aligned in `width` characters, a wider number written in full.
inline char* putInt(char* at, long long value, int width) {
  using namespace fixed_width_detail;
  if (width >= 1 && width <= 16 && value >= 0 && value < kTenTo[width])
    return fillField(at, static_cast<unsigned long long>(value), width);
  return writeGeneral(at, value, width, false);
}

// As appendIntColumn: a number that fills or overflows its field gets one blank before it.
inline char* putIntColumn(char* at, long long value, int width) {
  using namespace fixed_width_detail;
  if (width >= 2 && width <= 16 && value >= 0 && value < kTenTo[width - 1])
    return fillField(at, static_cast<unsigned long long>(value), width);
  return writeGeneral(at, value, width, true);
}

}  // namespace pelk

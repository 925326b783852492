#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace pelk {

// The length of a row of numbers once its trailing zeros are left off: the number of entries up
// to and including the last one that is not zero.
// Integers only: eight entries at a time are tested together.
template <class T>
int withoutTrailingZeros(const T* values, int count) {
  while (count >= 8) {
    T any = 0;
    for (int k = 1; k <= 8; ++k) any |= values[count - k];
    if (any != 0) break;
    count -= 8;
  }
  while (count > 0 && values[count - 1] == 0) --count;
  return count;
}

// Appends `count` copies of the text of one zero field (at most 16 characters). The map files
// and the map script are mostly zeros: a block grid of 513 x 513 of which 101 x 101 blocks can
// hold a sum. Copying the finished text is many times faster than writing each zero.
void appendRepeated(std::string& out, std::string_view field, std::size_t count);
// The same run as a text of its own, for tables of finished text built once.
std::string repeatedText(std::string_view field, std::size_t count);

}  // namespace pelk

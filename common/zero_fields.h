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

// A run of copies of one field with an end text after it, built once. Rows that end in that
// field take their closing part from it by reference (OutFile::appendLasting) instead of
// copying it.
class FinishedRun {
 public:
  FinishedRun(std::string_view field, std::size_t count, std::string_view end);
  std::size_t count() const { return count_; }
  // The last `fields` copies (at most count()) and the end text.
  std::string_view last(std::size_t fields) const;

 private:
  std::string text_;
  std::size_t fieldSize_;
  std::size_t endSize_;
  std::size_t count_;
};

}  // namespace pelk

#pragma once
#include <string>

namespace pelk {

// Fixed-width numbers as the text files and logs write them: right-aligned, padded on the left
// with blanks, a number wider than its field written in full. Reals in fixed-point notation with
// `decimals` digits after the point (exact halves of the binary value round to even, as printf).

void appendInt(std::string& out, long long value, int width = 0);
void appendReal(std::string& out, double value, int width, int decimals);

// For a number that follows another in a column layout without separators: when it fills or
// overflows its field, one blank goes before it so the two never touch. A number that leaves
// room in its field is written exactly as appendInt/appendReal would.
void appendIntColumn(std::string& out, long long value, int width);
void appendRealColumn(std::string& out, double value, int width, int decimals);

std::string intText(long long value, int width = 0);
std::string realText(double value, int width, int decimals);

}  // namespace pelk

#pragma once
#include <cstdint>
#include <string>

namespace pelk {

class OutFile;

// The sums of the longest row any map file has: block columns 0 to 512.
inline constexpr int kLongestMapRow = 513;

// The text layout shared by every intensity map file: the fixed first line, the "Mean: " line
// and the rows of block sums, each sum right-aligned in 8 characters.

void appendMapFirstLine(std::string& out);
void appendMapMeanLine(std::string& out, double mean);
// One line of block sums. A sum that fills its field gets a blank before it, so that readers,
// which take the values as blank-separated numbers, never see two sums run together.
void appendMapRow(OutFile& out, const std::int32_t* sums, int count);
// The same for a row of `columns` sums of which only the first `summed` are held; the others
// are zeros.
void appendMapRow(OutFile& out, const std::int32_t* sums, int summed, int columns);

}  // namespace pelk

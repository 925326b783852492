#pragma once
#include <vector>

#include "bench/write_recorder.h"

namespace pelk::bench {

// The least time the files of a command can take: each written file created (or truncated) and
// filled with one write call, in the order the command wrote them. Writing the same bytes under
// the same names leaves the working directory exactly as the command left it.
void writeFloor(const std::vector<WrittenFile>& files);

}  // namespace pelk::bench

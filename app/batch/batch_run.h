#pragma once
#include <cstdio>

#include "app/batch/batch_options.h"

namespace pelk {

// Runs the batch to its end: every row this worker takes, the summary, and the closing counts
// on `out` (progress bar when `out` is a terminal). Returns the exit status: 0 only when every
// row of the manifest completed. Setup failures (unreadable manifest, folder held by another
// worker, unreachable store) are explained on `err` with status 2.
int runBatch(const BatchOptions& options, std::FILE* out, std::FILE* err);

}  // namespace pelk

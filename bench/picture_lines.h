#pragma once
#include "bench/bench_case.h"
#include "common/picture.h"

namespace pelk::bench {

// A picture as text for the golden check: one line per row, each pixel as six hex digits.
Lines pictureLines(const Picture& view);

}  // namespace pelk::bench

#include "bench/bench_case.h"

namespace pelk::bench {
namespace {

std::vector<BenchCase>& registry() {
  static std::vector<BenchCase> cases;
  return cases;
}

}  // namespace

void addCase(BenchCase c) { registry().push_back(std::move(c)); }

const std::vector<BenchCase>& allCases() { return registry(); }

}  // namespace pelk::bench

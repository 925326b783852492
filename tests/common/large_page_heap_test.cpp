#include "common/large_page_heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace pelk {
namespace {

// The flags of the mapping that holds `address`, from /proc/self/smaps ("" when not found).
std::string mappingFlags(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    std::uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> from >> dash >> to && dash == '-') inside = from <= at && at < to;
    if (inside && line.rfind("VmFlags:", 0) == 0) return line;
  }
  return "";
}

// What a command allocates after the reserve lies in memory marked for large pages, is usable,
// and a block freed and asked for again comes from the same heap.
TEST(LargePageHeap, LaterAllocationsLieInLargePageMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps its own heap";
#else
  if (!std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"))
    GTEST_SKIP() << "this system has no large pages for ordinary memory";
  reserveLargePageHeap(std::size_t{8} << 20);
  void* block = std::malloc(std::size_t{3} << 20);
  ASSERT_NE(block, nullptr);
  std::memset(block, 7, std::size_t{3} << 20);
  void* end = static_cast<char*>(block) + (std::size_t{3} << 20) - 1;
  EXPECT_NE(mappingFlags(end).find(" hg"), std::string::npos) << mappingFlags(end);
  std::free(block);
#endif
}

}  // namespace
}  // namespace pelk

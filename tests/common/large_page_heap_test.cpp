#include "common/large_page_heap.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

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

// A program that runs command after command gets a large freed block back without touching
// fresh pages: the allocator's default handed blocks this size back to the system at once.
TEST(LargePageHeap, FreedMemoryIsReusedUntouched) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps its own heap";
#else
  keepFreedMemory();
  constexpr std::size_t kBytes = std::size_t{4} << 20;
  auto faults = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
  };
  // Every page written through a volatile pointer: a plain fill before free() may be elided.
  auto touch = [](void* block) {
    auto* bytes = static_cast<volatile char*>(block);
    for (std::size_t at = 0; at < kBytes; at += 4096) bytes[at] = 1;
  };
  void* first = std::malloc(kBytes);
  ASSERT_NE(first, nullptr);
  touch(first);
  std::free(first);
  const long before = faults();
  void* again = std::malloc(kBytes);
  ASSERT_NE(again, nullptr);
  touch(again);
  const long taken = faults() - before;
  std::free(again);
  EXPECT_LT(taken, 16) << "fresh pages touched for a block freed just before";
#endif
}

}  // namespace
}  // namespace pelk

#include "common/large_page_heap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace pelk {

void keepFreedMemory(std::size_t keptBytes) {
#if defined(__linux__) && defined(__GLIBC__)
  // Blocks up to the allocator's largest threshold come from the heap rather than mappings of
  // their own (each of which would be touched afresh), and a freed top stays mapped. Fixed
  // values also end the allocator's own tuning, which handed a command's memory back every few
  // runs.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(std::min<std::size_t>(keptBytes, 1u << 30)));
#else
  (void)keptBytes;
#endif
}

void reserveLargePageHeap(std::size_t bytes) {
#if defined(__linux__) && defined(__GLIBC__)
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  keepFreedMemory(bytes + (64u << 20));
  // A helper thread (the results store's) allocates from this heap too, not from a fresh arena
  // of its own.
  mallopt(M_ARENA_MAX, 1);

  // Grows the heap by `bytes` without touching it; volatile keeps the pair from being elided.
  void* volatile block = std::malloc(bytes);
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  std::free(block);
  if (start == 0 || end < start + bytes) return;  // not from the heap's top: nothing to advise

  const std::uintptr_t from = (start + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t to = end & ~(kLargePage - 1);
  if (to <= from) return;
  if (madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) != 0) return;
  // The heap's free top now starts where the block did, up to 2 MB short of the first large
  // page. A spacer held for the life of the process takes that stretch (only its header is ever
  // written), so what the command allocates next lands in large pages.
  if (from > start) {
    [[maybe_unused]] void* volatile spacer = std::malloc(from - start);
  }
#else
  (void)bytes;
#endif
}

}  // namespace pelk

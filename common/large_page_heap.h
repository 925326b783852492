#pragma once
#include <cstddef>

namespace pelk {

// Makes the next `bytes` of the heap come in large (2 MB) pages where the system offers them, and
// keeps freed memory in the heap for reuse instead of handing it back.
//
// Why: a command run as its own process touches several MB of fresh memory (scans, tables, texts),
// and on virtual machines that shadow the page tables each first touch of a 4 KB page costs
// about 11 µs — more than many commands' own work. A large page is one touch for 512 of them.
// Nothing is touched here: memory the run never uses costs nothing. Meant for short processes
// that run one command and end; elsewhere (and where large pages are off) it does no harm.
void reserveLargePageHeap(std::size_t bytes);

}  // namespace pelk

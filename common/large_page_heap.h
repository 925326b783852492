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

// Keeps memory a command frees in the heap for the next one, up to `keptBytes` at its top,
// instead of handing it back to the system. For programs that run command after command (the
// window, the benchmark): by default the allocator returned a command's larger blocks and touched
// them afresh in a later run, 4 KB at a time (500 page faults, 10 ms more in a 5 ms command).
void keepFreedMemory(std::size_t keptBytes = std::size_t{64} << 20);

}  // namespace pelk

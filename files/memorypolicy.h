#pragma once

#include <malloc.h>

// How the program's allocator keeps memory. A save builds a workbook of
// tens of thousands of cells and writes it through buffers of megabytes,
// a download fills runs of samples: by default the C library hands such
// memory back to the system as soon as it is freed, and the next save or
// download faults every page in again (zeroed by the kernel), which costs
// "Save Data" about a third of its time. Up to 32 MB freed is kept for the
// next time; allocations up to that size come from that kept memory. Both
// programs set it first thing, and so do the benchmarks, which measure the
// programs' work.
namespace MemoryPolicy {

inline void apply()
{
    constexpr int kKeptBytes = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kKeptBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}

} // namespace MemoryPolicy

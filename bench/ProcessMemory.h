#pragma once

#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace benchsupport {

// The resident memory of this process, in bytes.
inline std::int64_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// The bytes the heap has handed out and not had back (0 where a sanitizer
// replaces the allocator).
inline std::int64_t heapInUse() { return static_cast<std::int64_t>(mallinfo2().uordblks + mallinfo2().hblkhd); }

}  // namespace benchsupport

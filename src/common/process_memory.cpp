#include "common/process_memory.h"

#include <malloc.h>

namespace common {

void KeepFreedMemoryForReuse() {
    // Large blocks come from the heap, not from mappings of their own that go back on free, and
    // the heap's free top is kept up to this size.
    constexpr int kKept = 512 << 20;
    ::mallopt(M_MMAP_THRESHOLD, kKept);
    ::mallopt(M_TRIM_THRESHOLD, kKept);
}

}  // namespace common

#include "common/cores.h"

#include <algorithm>

#include <sched.h>

namespace common {

int UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return std::max(1, CPU_COUNT(&set));
}

}  // namespace common

#pragma once

// How many cores the program may use.
namespace common {

/// Cores this process may run on (its affinity mask, as `taskset` sets it); at least 1.
int UsableCores();

}  // namespace common

#pragma once

namespace common {

/// Keeps memory the program frees for its next use instead of handing it back to the system at
/// once. A week's steps read and build files of tens of megabytes one after another; memory
/// handed back and asked for again is faulted in afresh page by page, which costs more than the
/// work done in it. What a step holds at its peak is unchanged. Called once, first thing in main.
void KeepFreedMemoryForReuse();

}  // namespace common

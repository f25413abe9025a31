#pragma once

// What one writer leaves for a later writer of the same race. The batch clears it before every
// race, so nothing of one race reaches the next. A writer that needs to hand a value on adds its
// field here; none does yet.
namespace workbench {

struct WriterNotes {};

}  // namespace workbench

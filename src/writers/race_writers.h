#pragma once

#include <array>

#include "workbench/race_writer.h"

// The one table of the weekly batch's per-race writers. It lives above the writers' own folders,
// since it names them all; the program and the headless runs pass it to the batch.
namespace writers {

inline constexpr std::size_t kRaceWriterCount = 11;

/// The eleven writers in the order the batch calls them. A writer's entry gets its maker when the
/// writer is built; until then the batch passes it over.
extern const std::array<workbench::RaceWriterEntry, kRaceWriterCount> kRaceWriters;

}  // namespace writers

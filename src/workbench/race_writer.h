#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "common/code_table.h"
#include "common/day_files.h"
#include "workbench/batch_log.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"
#include "workbench/writer_notes.h"

// The place of the per-race report writers in the weekly batch: each writer is a class of its
// own, made fresh for every run of the batch and called once per race with what it may use.
namespace workbench {

/// What a writer gets for one race.
struct RaceContext {
    /// The race, read only: no writer changes what a later one reads.
    const RaceState& race;
    /// The tallies of the race's meeting day, to which result-mode hits are added.
    DayTallies& tallies;
    /// Values for later writers of the same race; empty at the race's start.
    WriterNotes& notes;
    /// The run's day files: emptied by the run's first write, appended to afterwards.
    common::DayFiles& dayFiles;
    const common::CodeTable& codes;
    /// Where failures go, and the writer they are told under.
    BatchLog& log;
    std::string_view writer;

    /// Reports something the writer passed over and went on without (logged with the race and the
    /// writer; counted once per race and writer in the batch's end text).
    void PassedOver(std::string_view reason) const { log.WriterFailed(race.RaceIdx, race.RaceKey12, writer, reason); }
};

class RaceWriter {
public:
    virtual ~RaceWriter() = default;
    /// Writes the race. A throw abandons the writer's work for this race only: the batch logs it
    /// and goes on with the next writer.
    virtual void WriteRace(RaceContext& context) = 0;
};

/// One entry of a table of writers: its name, and what makes it (empty: not built, not called).
struct RaceWriterEntry {
    std::string_view Name;
    std::function<std::unique_ptr<RaceWriter>()> Make;
};

/// The writers the batch calls for every race, in this order.
using RaceWriterTable = std::span<const RaceWriterEntry>;

}  // namespace workbench

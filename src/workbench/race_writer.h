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

/// What a writer made of a race ahead of its turn (see RaceWriter::Draft); each writer knows its own.
class RaceDraft {
public:
    virtual ~RaceDraft() = default;
};

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
    /// What the writer drafted of the race ahead of its turn; none when the writer drafts nothing
    /// or the race was not drafted (the writer then makes it in its turn).
    const RaceDraft* draft = nullptr;

    /// Reports something the writer passed over and went on without (logged with the race and the
    /// writer; counted once per race and writer in the batch's end text).
    void PassedOver(std::string_view reason) const { log.WriterFailed(race.RaceIdx, race.RaceKey12, writer, reason); }
};

class RaceWriter {
public:
    virtual ~RaceWriter() = default;
    /// For a writer whose bytes depend on the race and the code table alone, not on earlier
    /// writes: makes them (with what it leaves out, or the failure met) so that WriteRace only
    /// writes them. The batch drafts a race on another thread while earlier races are written, so
    /// a draft touches no file, no log and nothing that WriteRace changes, and never throws: a
    /// failure is kept and met in the writer's turn. nullptr: the writer drafts nothing.
    virtual std::unique_ptr<RaceDraft> Draft(const RaceState& /*race*/, const common::CodeTable& /*codes*/) const {
        return nullptr;
    }
    /// Writes the race. A throw abandons the writer's work for this race only: the batch logs it
    /// and goes on with the next writer.
    virtual void WriteRace(RaceContext& context) = 0;
};

/// One entry of a table of writers: its name, and what makes it (empty: not built, not called).
struct RaceWriterEntry {
    std::string_view Name;
    std::function<std::unique_ptr<RaceWriter>()> Make;
};

/// The draft that WriteRace of `writer` works from: the one made ahead, else one it makes now
/// and keeps in `own`.
template <class Draft>
const Draft& DraftOf(const RaceWriter& writer, const RaceContext& context, std::unique_ptr<RaceDraft>& own) {
    if (context.draft) return static_cast<const Draft&>(*context.draft);
    own = writer.Draft(context.race, context.codes);
    return static_cast<const Draft&>(*own);
}

/// The writers the batch calls for every race, in this order.
using RaceWriterTable = std::span<const RaceWriterEntry>;

}  // namespace workbench

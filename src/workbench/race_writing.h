#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "common/day_files.h"
#include "workbench/batch_log.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"
#include "workbench/writer_notes.h"

// Steps 5 and 6 of every race of the weekly batch: the report writers, then in result mode the
// meeting day's rate files. One RaceWriting lives for one run of the batch: it makes the writers
// fresh, and keeps the run's day files and the tallies of every meeting day the run meets.
namespace workbench {

class RaceWriting {
public:
    /// Makes each writer of the table that has a maker, in table order; one that cannot be made
    /// is logged and left out.
    RaceWriting(RaceWriterTable table, const common::CodeTable& codes, BatchLog& log);

    /// Calls the writers in order, each in its own try (a failure is logged with the race and the
    /// writer and the next writer follows), on the tallies of the race's meeting day and with
    /// empty notes; then, in result mode, rewrites the day's rate files.
    void WriteRace(const RaceState& race);

    /// The tallies of a meeting day; none before the run meets the day.
    const DayTallies* Day(std::string_view meetingKey) const;

private:
    struct MadeWriter {
        std::string_view name;
        std::unique_ptr<RaceWriter> writer;
    };

    std::vector<MadeWriter> writers_;
    const common::CodeTable& codes_;
    BatchLog& log_;
    common::DayFiles dayFiles_;
    WriterNotes notes_;
    std::map<std::string, DayTallies, std::less<>> days_;
};

}  // namespace workbench

#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/code_table.h"
#include "common/day_files.h"
#include "common/encoding.h"
#include "support/report_week.h"
#include "workbench/batch_log.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// What the race writers' tests share: the hand-written expected files, one batch run of a writer
// and the first meeting day of the hand-made week.
namespace reportfixtures {

/// A hand-written file of tests/data/reports, byte for byte.
inline std::string Golden(std::string_view name) {
    std::ifstream in(std::filesystem::path(TALMOR_TEST_DATA) / "reports" / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Cp(std::string_view utf8) { return common::ToCp932(utf8); }

/// One run of the batch over races: the writer made fresh, one DayFiles, one day tally; the
/// writer is told under `step`.
template <class Writer>
struct WriterRun {
    /// `args` make the writer (a writer of several ranks or folders is told which).
    template <class... Args>
    explicit WriterRun(std::string stepName, Args&&... args) : writer(std::forward<Args>(args)...), step(std::move(stepName)) {}

    common::CodeTable codes = reportweek::Codes();
    common::DayFiles dayFiles;
    workbench::DayTallies tallies;
    workbench::WriterNotes notes;
    workbench::BatchLog log;
    Writer writer;
    std::string step;

    void Write(const workbench::RaceState& race) {
        workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, step};
        writer.WriteRace(context);
    }
};

/// The four-runner race with its own payouts, then a race without runners holding the first
/// race's payouts, which are not its own.
inline std::vector<workbench::RaceState> FourRunnerDay(std::int16_t mode) {
    workbench::RaceState first = reportweek::FourRunnerRace(mode);
    first.CurHr = reportweek::FourRunnerPayout().Record();
    workbench::RaceState second = reportweek::EmptyHurdleRace(mode);
    second.CurHr = first.CurHr;
    return {first, second};
}

/// The fixture week in batch order: day A race 05, day B races 01 and 02, day A race 06. Day B (a
/// course the code table lacks) holds `TorokuTosu` "16" over six runners with a payout record
/// without 3連単 entries, and a cancelled three-runner race whose record pays nothing.
inline std::vector<workbench::RaceState> FixtureWeek(std::int16_t mode) {
    const std::vector<workbench::RaceState> a = FourRunnerDay(mode);
    workbench::RaceState b1 = reportweek::SixOfSixteenRace(mode);
    b1.CurHr = reportweek::SixOfSixteenPayout().Record();
    workbench::RaceState b2 = reportweek::CancelledRace(mode);
    b2.CurHr = reportweek::CancelledPayout().Record();
    return {a[0], b1, b2, a[1]};
}

}  // namespace reportfixtures

#pragma once

#include <string>

#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The weekly batch's lines of the per-date speed file SOKUDO/HR<yyyymmdd>.csv.
namespace supplementary {

/// The race's line: its RaceId, then per horse number 1 to RunnerCount the speed of its ranking
/// value and its rank; "" for a race without runners. Throws std::runtime_error when a rank holds
/// no number, so no line is made with a wrong rank.
std::string SokudoRaceLine(const workbench::RaceState& race);

/// WriteSokudoHrCsv of the weekly batch: the line written whole, one write per race.
class SokudoHrCsvWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;

    /// The date (yyyymmdd) of the race this run wrote last.
    const std::string& LastSokudoDate() const { return lastSokudoDate_; }

private:
    std::string lastSokudoDate_;
};

}  // namespace supplementary

#pragma once

#include <string>

#include "common/code_table.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The win-bet csv of every race, TANSHO/<yymmdd><course><RaceNum>R.csv: a win bet of 100 on the
// horse ranked first and one on the horse ranked second, in the line form of the betting files.
namespace supplementary {

/// The file's lines: the rank-1 horse's, then the rank-2 horse's (fewer when no horse holds the
/// rank).
std::string TanshoCsvLines(const workbench::RaceState& race);

/// WriteTanshoCsv of the weekly batch: the file written whole; the race just written is not
/// written again.
class TanshoCsvWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;

    /// The RaceKey12 of the race whose file this run wrote last.
    const std::string& LastTanshoRaceKey() const { return lastTanshoRaceKey_; }

private:
    std::string lastTanshoRaceKey_;
};

}  // namespace supplementary

#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "records/decoders.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The win/place lists of every meeting day: one row per race for the horse ranked first
// (TANFUKU/<MeetingKey>tnfk.csv, tnfkRCM.csv in result mode) or second (TANFUKU2/, tnfk2.csv and
// tnfkRCM2.csv).
namespace supplementary {

/// The file of rank 1 or 2 in the mode, under the application folder.
std::string TanfukuCsv(int rank, std::string_view meetingKey, bool resultMode);

/// The win and place payouts of a horse number: the nine stored characters of the entry whose
/// horse number is `horse`, empty where the record has none.
struct WinPlacePay {
    std::string Win, Place;
};
WinPlacePay WinPlacePayOf(const records::StoredHR& hr, int horse);

/// The race's lines for the rank's file: with `newFile` the title and the header of the mode,
/// then the row of the horse of that predicted rank (none when no horse holds it). In result mode
/// the payouts come from the race's own payout record.
std::string ComposeTanfukuRace(int rank, const workbench::RaceState& race, const common::CodeTable& codes,
                               bool newFile);

/// WriteTanfuku1 and WriteTanfuku2 of the weekly batch: one write per race.
class TanfukuWriter final : public workbench::RaceWriter {
public:
    explicit TanfukuWriter(int rank) : rank_(rank) {}
    void WriteRace(workbench::RaceContext& context) override;

private:
    int rank_;
};

}  // namespace supplementary

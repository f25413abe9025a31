#include "supplementary/labelled_report.h"

#include <stdexcept>

#include "common/numbers.h"
#include "common/paths.h"
#include "reports/lup_lines.h"
#include "supplementary/labelled_hits.h"

namespace supplementary {

using workbench::RaceState;

std::string TwiFile(std::string_view meetingKey, bool resultMode) {
    return "TEKICHU/" + std::string(meetingKey) + (resultMode ? "twiRCM.txt" : "twi.txt");
}

namespace {

/// The caption words of the labelled report.
constexpr reports::RrWords kTwiRrWords{{"連番", "枠番", "馬番", "予順"}, {"人気", "入線"}};

}  // namespace

std::string ComposeTwiRace(const RaceState& race, const common::CodeTable& codes, bool newFile,
                           reports::LineNotes& notes) {
    std::string out;
    if (newFile) out += reports::DayHeadLines(race.RaceId, codes, notes);
    out += reports::RcLine(race);
    out += reports::RrLine(race, kTwiRrWords);
    out += reports::HsLines(race);
    // A race whose payout record is another race's shows no hits and no payouts.
    if (race.ResultMode == 1 && race.CurHr && reports::IsRacePayout(race, *race.CurHr)) {
        out += HanteiTekichuTwi(race, *race.CurHr, notes);
        out += reports::PayoutLines(*race.CurHr, notes);
    }
    return out;
}

void TwiRaceWriter::WriteRace(workbench::RaceContext& context) {
    const RaceState& race = context.race;
    if (race.MeetingKey.size() != 14 || !common::IsDigits(race.MeetingKey))
        throw std::runtime_error("the race's meeting key cannot name its day file");
    const auto path = common::AppPath(TwiFile(race.MeetingKey, race.ResultMode == 1));
    reports::LineNotes notes;
    const std::string block = ComposeTwiRace(race, context.codes, context.dayFiles.IsNew(path), notes);
    context.dayFiles.Append(path, block);
    for (const std::string& note : notes) context.PassedOver(note);
}

}  // namespace supplementary

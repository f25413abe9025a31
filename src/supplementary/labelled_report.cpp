#include "supplementary/labelled_report.h"

#include <stdexcept>
#include <vector>

#include "common/numbers.h"
#include "common/paths.h"
#include "reports/lup_lines.h"
#include "supplementary/labelled_hits.h"

namespace supplementary {

using reports::Cp932;
using workbench::RaceState;

std::string TwiFile(std::string_view meetingKey, bool resultMode) {
    return "TEKICHU/" + std::string(meetingKey) + (resultMode ? "twiRCM.txt" : "twi.txt");
}

namespace {

/// The "RR" captions of the mode in words; the closing-time captions follow the flat-track test.
std::string TwiRrLine(const RaceState& race) {
    const bool result = race.ResultMode == 1;
    const bool flat = reports::IsFlatTrack(race.TrackCD);
    std::vector<common::Field> fields;
    auto add = [&](std::string_view caption) { fields.emplace_back(Cp932(caption)); };
    for (auto c : {"連番", "枠番", "馬番", "予順"}) add(c);
    if (result) add("人気"), add("入線");
    for (auto c : {"性", "齢", "馬名　　　　　　　", "負担", "騎手名　", "調教師名", "推定タイム"}) add(c);
    if (result) add("実タイム");
    add(flat ? "推定上3F" : "推定平1F");
    if (result) add(flat ? "実上3F" : "実平1F");
    return reports::ReportLine("RR", fields);
}

}  // namespace

std::string ComposeTwiRace(const RaceState& race, const common::CodeTable& codes, bool newFile,
                           reports::LineNotes& notes) {
    std::string out;
    if (newFile) out += reports::DayHeadLines(race.RaceId, codes, notes);
    out += reports::RcLine(race);
    out += TwiRrLine(race);
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

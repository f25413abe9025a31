#include "reports/lup_race.h"

#include <exception>
#include <stdexcept>

#include "common/paths.h"
#include "reports/lup_lines.h"

namespace reports {

std::string LupFile(std::string_view meetingKey, bool resultMode) {
    return "TEKICHU/" + std::string(meetingKey) + (resultMode ? "lupRCM.txt" : "lup.txt");
}

std::string TekichuFile(std::string_view meetingKey) { return "TEKICHU/" + std::string(meetingKey) + "tekichu.txt"; }

LupRaceBlock ComposeLupRace(const workbench::RaceState& race, const common::CodeTable& codes, bool newLup,
                            bool newTekichu, workbench::KaitekiTally& tally, LineNotes& notes) {
    const bool result = race.ResultMode == 1;
    LupRaceBlock block;
    std::string& out = block.Lup;
    if (newLup) out += DayHeadLines(race.RaceId, codes, notes);
    out += RcLine(race);
    out += RrLine(race);
    out += HsLines(race);
    out += WriteYosoJunQ(race);
    out += WriteKaimeMU(race, notes);
    out += WriteKaimePU(race, notes);
    if (!result) return block;

    // A race whose payout record is not its own shows no hits, never an earlier race's.
    if (race.CurHr && IsRacePayout(race, *race.CurHr)) {
        HanteiTekichuAT(race, *race.CurHr, out, block.Summary, tally, notes);
        out += PayoutLines(*race.CurHr, notes);
    }
    if (newTekichu) block.Tekichu += TekichuHeadLines(race.RaceId, codes, notes);
    block.Tekichu += TekichuRaceLines(race.RaceNum, block.Summary);
    return block;
}

void LupRaceWriter::WriteRace(workbench::RaceContext& context) {
    const workbench::RaceState& race = context.race;
    if (!common::IsSafeKey(race.MeetingKey) || race.MeetingKey.size() != 14)
        throw std::runtime_error("the race's meeting key cannot name its day files");
    const bool result = race.ResultMode == 1;
    const auto lup = common::AppPath(LupFile(race.MeetingKey, result));
    const auto tekichu = common::AppPath(TekichuFile(race.MeetingKey));

    LineNotes notes;
    const LupRaceBlock block = ComposeLupRace(race, context.codes, context.dayFiles.IsNew(lup),
                                              result && context.dayFiles.IsNew(tekichu), context.tallies.Kaiteki, notes);
    // Each day file gets its block in one write; a failed write costs that file's block only.
    auto write = [&](const std::filesystem::path& path, const std::string& bytes) {
        try {
            context.dayFiles.Append(path, bytes);
        } catch (const std::exception& e) {
            notes.push_back(e.what());
        }
    };
    write(lup, block.Lup);
    if (result) write(tekichu, block.Tekichu);
    for (const std::string& note : notes) context.PassedOver(note);
}

}  // namespace reports

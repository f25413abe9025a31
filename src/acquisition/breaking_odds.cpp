#include "acquisition/breaking_odds.h"

#include <algorithm>
#include <string>
#include <vector>

#include "acquisition/odds_line_file.h"
#include "acquisition/recent_races.h"
#include "acquisition/fetch_messages.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/paths.h"
#include "records/record_check.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace {

constexpr std::string_view kStep = "FetchBreakingOdds";

// One race: a breaking connection and its few reads.
void FetchRace(dataservice::JVLink& link, common::Host& host, const std::string& raceId,
               OddsLineWriter& writer) {
    const int rc = link.JVInit(kBreakingOddsSid);
    if (rc != dataservice::kRcOk) host.messageBox(std::string(kJVInitError) + std::to_string(rc));
    link.JVRTOpen(kBreakingOddsDataSpec, raceId);
    std::string buff(static_cast<std::size_t>(kReadBufferSize), '\0');
    int size = kReadBufferSize;
    std::string fileName;
    for (int read = 0; read < kMaxBreakingReadsPerRace; ++read) {
        const int code = link.JVRead(buff, size, fileName);
        // -1 means no more records of this race; 0 and the error codes leave nothing new in the
        // buffer, so the reads of this race end there too. An error is told: the race's odds
        // may be missing.
        if (code < dataservice::kRcNextFile) throw std::runtime_error("odds of " + raceId + ": RC=" + std::to_string(code));
        if (code <= 0) break;
        writer.Append(std::string_view(buff).substr(0, std::min<std::size_t>(code, buff.size())));
    }
    link.JVClose();
}

}  // namespace

void FetchBreakingOdds(dataservice::JVLink& link, common::Host& host,
                       const std::function<void(std::string_view)>& setText1) {
    common::PassOver(kStep, [&] {
        if (setText1) setText1(kBreakingOddsStart);
    });
    host.pumpEvents();

    OddsLineWriter writer(OddsStem::Realtime, {OddsKind::O6, OddsKind::O5, OddsKind::O4, OddsKind::O2},
                          std::string(kStep));
    std::vector<std::string> races;
    std::int64_t damaged = 0;
    const bool read = common::PassOver(
        kStep, [&] { races = RecentRaceWindow(common::AppPath(records::kRaThisWeekNew), kStep, &damaged); });
    for (const std::string& raceId : races)
        common::PassOver(kStep, [&] { FetchRace(link, host, raceId, writer); });
    writer.Close();

    // Without a race (structure building has not run) nothing was asked for: the end text says so.
    std::vector<std::string> parts;
    if (read && races.empty()) {
        common::InputCheck inputs(kStep, common::InputCheck::Need::Every);
        inputs.Note(common::AppPath(records::kRaThisWeekNew), false);
        parts.emplace_back(inputs.Report());
    }
    if (damaged > 0) parts.push_back(records::DamagedRecordsPart(damaged));
    if (writer.Failures() > 0) parts.push_back("処理できなかった手順 " + std::to_string(writer.Failures()) + " 件");
    const std::string note = common::PassedOverNote(parts);
    common::PassOver(kStep, [&] {
        if (setText1) setText1(std::string(kBreakingOddsDone) + note);
    });
}

}  // namespace acquisition

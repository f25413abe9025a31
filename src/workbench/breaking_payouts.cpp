#include "workbench/breaking_payouts.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/breaking_odds.h"
#include "acquisition/fetch_messages.h"
#include "acquisition/odds_line_file.h"
#include "acquisition/recent_races.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "common/text_file.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/record_check.h"
#include "records/week_record_file.h"
#include "workbench/race_horse_record.h"

namespace workbench {

namespace {

constexpr std::string_view kO1Realtime = "O1RIALTIME.dat";

// One race's odds connection: its few reads, the O1 records among them kept as delivered.
void FetchWinOddsOfRace(dataservice::JVLink& link, common::Host& host, const std::string& raceId, std::string& lines,
                        WinOddsFetchSummary& s) {
    ++s.connections;
    const int init = link.JVInit(acquisition::kBreakingResultsSid);
    if (init != dataservice::kRcOk) host.messageBox(std::string(acquisition::kJVInitError) + std::to_string(init));
    link.JVRTOpen(acquisition::kBreakingOddsDataSpec, raceId);
    std::string buff(static_cast<std::size_t>(acquisition::kReadBufferSize), '\0');
    int size = acquisition::kReadBufferSize;
    std::string fileName;
    bool readError = false;
    for (int read = 0; read < kMaxWinOddsReadsPerRace; ++read) {
        const int code = link.JVRead(buff, size, fileName);
        if (code == dataservice::kRcNextFile) break;
        if (code < dataservice::kRcNextFile && !readError) {
            // The race's odds may not have come whole: its runners keep what they had, and that
            // is told once for the race.
            common::LogError(kBreakingPayoutsStep, "odds of " + raceId + ": RC=" + std::to_string(code));
            ++s.failures;
            readError = true;
        }
        // 0 and the error codes deliver nothing: what the buffer still holds came from an
        // earlier read and was kept then.
        if (code <= 0) continue;
        const std::string_view record = std::string_view(buff).substr(0, std::min<std::size_t>(code, buff.size()));
        if (acquisition::OddsKindOf(record) != acquisition::OddsKind::O1) continue;
        acquisition::AppendOddsLine(lines, record);
        ++s.linesKept;
    }
    link.JVClose();
}

// One field copied into element 0 of a runner record.
struct FieldCopy {
    rh::Ref target;
    std::string bytes;
};

struct Update {
    bool fromOdds = false;
    std::string umaban;
    std::vector<FieldCopy> fields;
};

void Skip(BreakingMergeSummary& s, const Update& u) { ++(u.fromOdds ? s.oddsSkipped : s.runnersSkipped); }

// Applies one race's updates in order to its runner file, read and written once.
void ApplyRace(const std::string& key, const std::vector<Update>& updates, BreakingMergeSummary& s) {
    // A key that is not twelve digits never becomes a path.
    if (!common::IsDigits(key) || key.size() != 12 || !std::filesystem::exists(RaceHorseFilePath(key))) {
        for (const Update& u : updates) Skip(s, u);
        return;
    }
    std::int64_t damaged = 0;
    std::vector<RaceHorseRecord> runners = ReadRaceHorseFile(key, kBreakingPayoutsStep, &damaged);
    if (damaged > 0) {
        // Written back, the records read shifted or in place of damaged ones would lose runners:
        // the file stays as it is until the batch writes it again.
        s.recordsPassedOver += damaged;
        common::LogError(kBreakingPayoutsStep, RaceHorseFilePath(key).string() +
                                                   " holds damaged records: left as it was, the breaking results of its race not merged");
        for (const Update& u : updates) Skip(s, u);
        return;
    }
    // Record n is horse number n: a record that holds another number stands out of its place (a
    // record written twice, or one lost), and the file is not written back with it.
    for (std::size_t n = 1; n <= runners.size(); ++n) {
        const RaceHorseRecord& r = runners[n - 1];
        const auto horse = r.IsBlank() ? std::nullopt : common::DigitsValue(r.Get(rh::Umaban, 0));
        if (!horse || *horse == static_cast<std::int64_t>(n)) continue;
        ++s.recordsPassedOver;
        common::LogError(kBreakingPayoutsStep, RaceHorseFilePath(key).string() + " record " + std::to_string(n) +
                                                   " holds horse number " + std::to_string(*horse) +
                                                   ": left as it was, the breaking results of its race not merged");
        for (const Update& u : updates) Skip(s, u);
        return;
    }
    bool changed = false;
    for (const Update& u : updates) {
        const auto h = common::DigitsValue(u.umaban);
        if (!h || *h < 1 || *h > 18 || *h > static_cast<std::int64_t>(runners.size())) {
            Skip(s, u);
            continue;
        }
        RaceHorseRecord& r = runners[static_cast<std::size_t>(*h - 1)];
        for (const FieldCopy& f : u.fields) r.Set(f.target, f.bytes, 0);
        ++(u.fromOdds ? s.oddsMerged : s.runnersMerged);
        changed = true;
    }
    if (!changed) return;
    WriteRaceHorseFile(key, runners);
    ++s.racesWritten;
}

}  // namespace

WinOddsFetchSummary FetchBreakingWinOdds(dataservice::JVLink& link, common::Host& host) {
    WinOddsFetchSummary s;
    // The lines are gathered and the file replaced whole at the end: a run cut short leaves the
    // last fetch's file as it was, never one emptied or cut.
    std::string lines;
    if (!common::PassOver(kBreakingPayoutsStep, [&] {
            const std::vector<std::string> races = acquisition::RecentRaceWindow(common::AppPath(records::kRaThisWeek),
                                                                                     kBreakingPayoutsStep, &s.recordsPassedOver);
            for (const std::string& raceId : races) FetchWinOddsOfRace(link, host, raceId, lines, s);
        }))
        ++s.failures;
    if (common::PassOver(kBreakingPayoutsStep, [&] { common::WriteFileAtomically(common::AppPath(kO1Realtime), lines); }))
        s.written = true;
    else
        ++s.failures;
    return s;
}

ResultsFetchSummary FetchBreakingResults(dataservice::JVLink& link, common::Host& host) {
    ResultsFetchSummary s;
    if (!common::PassOver(kBreakingPayoutsStep,
                          [&] {
                              s.dates = acquisition::RecentRaceDates(common::AppPath(records::kRaThisWeekNew),
                                                                     kBreakingPayoutsStep, &s.counts.passedOver);
                          })) {
        ++s.counts.failures;
        return s;
    }
    const std::int64_t damaged = s.counts.passedOver;
    s.counts = acquisition::FetchBreakingResultDates(link, host, s.dates, kBreakingPayoutsStep);
    s.counts.passedOver += damaged;
    return s;
}

BreakingPayoutsSummary MergeBreakingResults(dataservice::JVLink& link, common::Host& host) {
    BreakingPayoutsSummary s;
    // The mark stands until the run has ended: a run cut short leaves it for the next start.
    if (!common::PassOver(kBreakingPayoutsStep, [] { common::SetStepMark(common::MarkedStep::BreakingPayouts); }))
        ++s.markFailures;
    s.unfinishedInputs = common::UnfinishedInputParts(common::MarkedStep::BreakingPayouts, kBreakingPayoutsStep);
    // Without this week's race files there is nothing to fetch for: that is named in the log and
    // counted, so Ⅲ does not end as if it had done its work.
    common::InputCheck inputs(kBreakingPayoutsStep, common::InputCheck::Need::Every);
    bool arrivalsHeld = false;
    for (std::string_view name : {records::kRaThisWeek, records::kRaThisWeekNew}) {
        const std::filesystem::path file = common::AppPath(name);
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        const bool held = !ec && size >= static_cast<std::uintmax_t>(records::WeekFileRA::kRecordLength);
        if (name == records::kRaThisWeek) arrivalsHeld = held;
        inputs.Note(file, held);
    }
    if (!inputs.Report().empty()) s.inputsMissing = 1;
    // The odds fetch empties O1RIALTIME.dat first: without a race to fetch for it would only empty it.
    if (arrivalsHeld)
        s.odds = FetchBreakingWinOdds(link, host);
    else if (common::KeepOutput(kBreakingPayoutsStep, common::AppPath(kO1Realtime), common::AppPath(records::kRaThisWeek)))
        s.outputsKept = 1;
    s.results = FetchBreakingResults(link, host);
    // Odds lines that this fetch could not write are last time's: they are not merged again.
    s.merge = MergeBreakingIntoRaceFiles(!arrivalsHeld || s.odds.written);
    if (!common::PassOver(kBreakingPayoutsStep, [] { common::ClearStepMark(common::MarkedStep::BreakingPayouts); }))
        ++s.markFailures;
    return s;
}

std::string BreakingPayoutsEndText(const BreakingPayoutsSummary& s) {
    std::vector<std::string> parts = s.unfinishedInputs;
    if (s.outputsKept > 0) parts.push_back(common::KeptOutputsPart(s.outputsKept));
    const std::string runFirst = s.inputsMissing ? common::RunFirstPart(common::MarkedStep::BreakingPayouts) : "";
    return std::string(acquisition::BreakingPayoutsEndText(s.Failures() == 0)) + common::PassedOverNote(parts, runFirst);
}

BreakingMergeSummary MergeBreakingIntoRaceFiles(bool mergeOdds) {
    BreakingMergeSummary s;
    // Updates per race in file order, the runner merge's before the odds merge's.
    std::map<std::string, std::vector<Update>> byRace;
    const bool seRead = common::PassOver(kBreakingPayoutsStep, [&] {
        const records::WeekFileSE file{common::AppPath(records::kSeRealtime)};
        s.recordsPassedOver += file.ForEach(kBreakingPayoutsStep, [&](std::int64_t, records::RecordView<records::LayoutSE> se) {
            Update u;
            u.umaban = se.Get(records::se::Umaban);
            u.fields = {{rh::NyusenJyuni, std::string(se.Get(records::se::NyusenJyuni))},
                        {rh::Ninki, std::string(se.Get(records::se::Ninki))},
                        {rh::TanOdds, std::string(se.Get(records::se::Odds))},
                        {rh::SohaTime, std::string(se.Get(records::se::Time))},
                        {rh::HaronTimeL3, std::string(se.Get(records::se::HaronTimeL3))}};
            byRace[records::RaceKey12Of(se)].push_back(std::move(u));
        });
    });
    const bool o1Read = !mergeOdds || common::PassOver(kBreakingPayoutsStep, [&] {
        const std::filesystem::path path = common::AppPath(kO1Realtime);
        const std::string content = common::ReadFileBytes(path);
        records::RecordO1 o1;
        std::string record;
        std::int64_t lineNumber = 0;
        for (std::string_view line : common::LineViews(content)) {
            ++lineNumber;
            // A line of the file is one record as delivered, its CR LF taken off: one cut short or
            // run into another is passed over, the lines after it stand where they were.
            record.assign(line);
            record += "\r\n";
            const records::RecordFault fault = records::CheckRecord<records::LayoutO1>(record);
            if (fault != records::RecordFault::None) {
                ++s.recordsPassedOver;
                common::LogError(kBreakingPayoutsStep,
                                 path.string() + " line " + std::to_string(lineNumber) + ": " +
                                     records::FaultReason(fault, records::LayoutO1::kName, records::kLength<records::LayoutO1> - 2, line) +
                                     ": passed over");
                continue;
            }
            records::DecodeO1(record, o1);
            std::vector<Update>& race = byRace[records::RaceKey12Of(o1)];
            for (int e = 0; e < 28; ++e) {
                Update u;
                u.fromOdds = true;
                u.umaban = o1.Get(records::o1::TansyoUmaban, e);
                // An empty slot of the 28 (blank, "00") names no runner.
                if (common::Val(u.umaban) == 0) continue;
                u.fields = {{rh::Ninki, std::string(o1.Get(records::o1::TansyoNinki, e))},
                            {rh::TanOdds, std::string(o1.Get(records::o1::TansyoOdds, e))}};
                race.push_back(std::move(u));
            }
        }
    });
    if (!seRead) ++s.failures;
    if (!o1Read) ++s.failures;
    for (auto& [key, updates] : byRace) {
        // Every runner update was queued before the odds updates: the odds line's popularity wins.
        if (!common::PassOver(kBreakingPayoutsStep, [&] { ApplyRace(key, updates, s); })) ++s.failures;
    }
    return s;
}

}  // namespace workbench

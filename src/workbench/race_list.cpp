#include "workbench/race_list.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <unordered_map>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/day_before_fix.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/week_record_file.h"

namespace workbench {

namespace {

using records::LayoutHR;
using records::LayoutRA;
using records::StoredHR;
using records::StoredRA;

// Data kinds as the records carry them.
constexpr char kFinalResults = '7';
constexpr char kCancelled = '9';

template <class R>
char KindOf(const R& ra) {
    const std::string_view kind = ra.Get(records::kDataKubun<LayoutRA>);
    return kind.empty() ? ' ' : kind[0];
}

// Prediction mode lists the kinds "2" to "6" (the race card up to the day before): the earliest
// stage "1", final results "7" and cancelled races "9" are not races to predict.
template <class R>
bool IsListedKind(const R& ra) {
    const char kind = KindOf(ra);
    return kind >= '2' && kind <= '6';
}

// Every character of the RaceId becomes part of a file name (the race and the meeting day).
bool KeyCanNameFiles(std::string_view raceId) { return raceId.size() == 16 && common::IsDigits(raceId); }

std::string CourseName(const common::CodeTable& codes, std::string_view raceId) {
    return codes.LookupCode("2001", raceId.substr(8, 2), 4);
}

// A record whose key cannot name files is passed over, once per key.
class KeyCheck {
public:
    explicit KeyCheck(BatchLog& log) : log_(log) {}
    bool Usable(std::string_view raceId, std::string_view file) {
        if (KeyCanNameFiles(raceId)) return true;
        const std::string key = records::RaceKey12(raceId);
        if (reported_.insert(std::string(raceId)).second)
            log_.RaceFailed(0, key, "race list",
                            "the race identifier of a record of " + std::string(file) +
                                " is not digits and cannot name the race's files: race passed over");
        return false;
    }

private:
    BatchLog& log_;
    std::set<std::string> reported_;
};

// The newest record of each race: the highest MakeDate, the later one on equal dates.
template <class Stored>
std::unordered_map<std::string, std::size_t> NewestByRace(const std::vector<Stored>& file) {
    using L = typename Stored::Layout;
    std::unordered_map<std::string, std::size_t> newest;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const std::string key = records::RaceKey12Of(file[i]);
        auto [at, fresh] = newest.try_emplace(key, i);
        if (!fresh && file[i].Get(records::kMakeDate<L>) >= file[at->second].Get(records::kMakeDate<L>)) at->second = i;
    }
    return newest;
}

void ListPredictionRaces(RaceList& list, const RaceFileRecords& raceFile, KeyCheck& keys) {
    std::unordered_map<std::string, std::size_t> place;
    for (std::size_t n = 0; n < raceFile.Records.size(); ++n) {
        const StoredRA& ra = raceFile.Records[n];
        if (!IsListedKind(ra)) continue;
        const std::string_view raceId = ra.Get(records::kRaceId<LayoutRA>);
        if (!keys.Usable(raceId, records::kRaThisWeekNew)) continue;
        const std::string key = records::RaceKey12(raceId);
        auto [at, fresh] = place.try_emplace(key, list.Races.size());
        if (fresh) list.Races.emplace_back();
        // The file keeps one record per race and kind: a race under two listed kinds keeps the
        // place of its first record and takes the fields of its last (the newer kind).
        ListedRace& race = list.Races[at->second];
        race.RaceKey12 = key;
        race.RaceId = std::string(raceId);
        race.Ra = ra;
        race.RaRecordNo = raceFile.RecordNos[n];
    }
    for (std::size_t r = 0; r < list.Races.size(); ++r) list.TitleOrder.push_back(static_cast<int>(r) + 1);
}

void ListResultRaces(RaceList& list, const RaceFileRecords& raceFile, const std::vector<StoredHR>& payoutFile,
                     KeyCheck& keys) {
    std::unordered_map<std::string, std::size_t> place;
    for (const StoredHR& hr : payoutFile) {
        const std::string_view raceId = hr.Get(records::kRaceId<LayoutHR>);
        if (!keys.Usable(raceId, records::kHrThisWeek)) continue;
        const std::string key = records::RaceKey12(raceId);
        if (place.try_emplace(key, list.Races.size()).second) {
            list.Races.emplace_back();
            list.Races.back().RaceKey12 = key;
        }
    }
    // Titles keyed by race, whatever the order of the two files.
    const auto newestRa = NewestByRace(raceFile.Records);
    std::vector<std::pair<std::int64_t, int>> titled;  // race file position, race
    for (std::size_t r = 0; r < list.Races.size(); ++r) {
        ListedRace& race = list.Races[r];
        const auto found = newestRa.find(race.RaceKey12);
        if (found == newestRa.end()) continue;
        race.Ra = raceFile.Records[found->second];
        race.RaRecordNo = raceFile.RecordNos[found->second];
        race.RaceId = std::string(race.Ra->Get(records::kRaceId<LayoutRA>));
        titled.emplace_back(race.RaRecordNo, static_cast<int>(r) + 1);
    }
    std::sort(titled.begin(), titled.end());
    for (const auto& [record, r] : titled) list.TitleOrder.push_back(r);
}

}  // namespace

RaceFileRecords::RaceFileRecords(const std::vector<StoredRA>& all) {
    for (std::size_t i = 0; i < all.size(); ++i) Take(static_cast<std::int64_t>(i) + 1, all[i].View(), true);
}

void RaceFileRecords::Take(std::int64_t n, records::RecordView<LayoutRA> ra, bool keep) {
    FileCount = n;
    const char kind = KindOf(ra);
    if (kind != kCancelled) LastKind = kind;
    if (!keep) return;
    Records.emplace_back().Assign(ra.Bytes());
    RecordNos.push_back(n);
}

std::unordered_set<std::string> PayoutRaces(const std::vector<StoredHR>& payoutFile) {
    std::unordered_set<std::string> races;
    for (const StoredHR& hr : payoutFile) races.insert(records::RaceKey12Of(hr));
    return races;
}

bool ListCanUse(records::RecordView<LayoutRA> ra, const std::unordered_set<std::string>& payoutRaces) {
    return IsListedKind(ra) || payoutRaces.contains(records::RaceKey12Of(ra));
}

std::int16_t DecideResultMode(const RaceFileRecords& raceFile) { return raceFile.LastKind == kFinalResults ? 1 : 0; }

std::string RaceListLine(std::string_view raceId, std::string_view courseName, std::int16_t resultMode) {
    const records::RecordView<records::LayoutRaceId> id(raceId);
    auto text = [&](std::string_view field) { return common::FromCp932(field); };
    const std::string monthDay = text(id.Get(records::Locate<records::LayoutRaceId>("MonthDay")));
    std::string line = text(id.Get(records::Locate<records::LayoutRaceId>("Year")));
    line += "年" + monthDay.substr(0, 2) + "月" + (monthDay.size() >= 2 ? monthDay.substr(monthDay.size() - 2) : monthDay) + "日";
    line += text(id.Get(records::Locate<records::LayoutRaceId>("JyoCD")));
    line += courseName;
    line += text(id.Get(records::Locate<records::LayoutRaceId>("Kaiji"))) + "回";
    line += text(id.Get(records::Locate<records::LayoutRaceId>("Nichiji"))) + "日";
    line += text(id.Get(records::Locate<records::LayoutRaceId>("RaceNum"))) + "R";
    line.append(resultMode == 1 ? 10 : 9, ' ');
    line += text(records::RaceKey12(raceId));
    return line;
}

RaceList ListRaces(std::int16_t resultMode, const RaceFileRecords& raceFile, const std::vector<StoredHR>& payoutFile,
                   const common::CodeTable& codes, BatchLog& log) {
    RaceList list;
    list.ResultMode = resultMode;
    KeyCheck keys(log);
    if (resultMode == 1)
        ListResultRaces(list, raceFile, payoutFile, keys);
    else
        ListPredictionRaces(list, raceFile, keys);

    // Every race's own newest payout record, in both modes.
    const auto newestHr = NewestByRace(payoutFile);
    for (std::size_t r = 0; r < list.Races.size(); ++r) {
        ListedRace& race = list.Races[r];
        const auto found = newestHr.find(race.RaceKey12);
        if (found != newestHr.end()) race.Hr = payoutFile[found->second];
        if (race.RaceId.empty() && race.Hr) race.RaceId = std::string(race.Hr->Get(records::kRaceId<LayoutHR>));
        race.Title = KeyOnlyTitle(race.RaceKey12);
        log.Race(static_cast<int>(r) + 1, race.RaceKey12, "list entry", [&] {
            if (race.Ra) race.Title = RaceTitle(race.Ra->View(), codes);
            // The list line comes from the race record before the races, from the payout record after.
            const std::string_view lineId =
                resultMode == 1 && race.Hr ? race.Hr->Get(records::kRaceId<LayoutHR>) : std::string_view(race.RaceId);
            race.ListLine = RaceListLine(lineId, CourseName(codes, lineId), resultMode);
        });
    }

    if (list.Races.empty()) {
        const std::string_view file = resultMode == 1 ? records::kHrThisWeek : records::kRaThisWeekNew;
        const auto records = resultMode == 1 ? static_cast<std::int64_t>(payoutFile.size()) : raceFile.FileCount;
        std::error_code ec;
        if (!std::filesystem::exists(common::AppPath(file), ec))
            list.NothingListed = std::string(file) + " is missing: nothing to work on";
        else
            list.NothingListed = records == 0 ? std::string(file) + " holds no record: no race to work on"
                                              : std::string(file) + " holds no race to list: no race to work on";
    }
    return list;
}

std::string RaceWeekListContent(const RaceList& list) {
    std::string content;
    for (const ListedRace& race : list.Races) content += "\"" + race.RaceKey12 + "\"\r\n";
    return content;
}

std::string RaceIdListContent(const RaceList& list) {
    std::string content;
    for (int r : list.TitleOrder) content += list.Races[static_cast<std::size_t>(r - 1)].RaceId + "\r\n";
    return content;
}

std::string RaceTitleFileContent(const RaceList& list) {
    std::string content;
    for (int r : list.TitleOrder) content += TitleLine(list.Races[static_cast<std::size_t>(r - 1)].Title) + "\r\n";
    return content;
}

void WriteWeekFiles(const RaceList& list, BatchLog& log) {
    const std::pair<std::string_view, std::string> files[] = {
        {engine::kRaceWeekListFile, RaceWeekListContent(list)},
        {kRaceTitleFile, RaceTitleFileContent(list)},
        {kRaceIdListFile, RaceIdListContent(list)},
    };
    for (const auto& [name, content] : files)
        log.Step(name, [&] { common::WriteFileAtomically(common::AppPath(name), content); });
}

}  // namespace workbench

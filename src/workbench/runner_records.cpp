#include "workbench/runner_records.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/ex_record.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/record_check.h"
#include "records/week_record_file.h"
#include "workbench/race_info_table.h"

namespace workbench {

namespace {

using engine::LayoutEx;
using ExRef = records::Ref<LayoutEx>;

constexpr int kHighestHorseNumber = 18;

constexpr ExRef kExRaceId = records::Locate<LayoutEx>("RaceId");
constexpr ExRef kExBirthYear = records::Locate<LayoutEx>("ExHorse.BirthDate.Year");
constexpr ExRef kExSpeedText = records::Locate<LayoutEx>("SpeedText");
constexpr ExRef kExFloats = records::Locate<LayoutEx>("ExFloats");
constexpr ExRef kExBaba = engine::ex::TenkoCD;  // TenkoCD, SibaBabaCD and DirtBabaCD back to back

/// A field of every run: where it lies in the runner record and in the expanded record.
struct RunField {
    rh::Ref to;
    int from;  // 0-based offset in the expanded record
};

constexpr int FloatAt(int element) { return kExFloats.offset + 4 * element; }

constexpr RunField kRunFields[] = {
    {rh::RunRaceId, kExRaceId.offset},
    {rh::Wakuban, engine::ex::Wakuban.offset},
    {rh::Umaban, engine::ex::Umaban.offset},
    {rh::KettoNum, engine::ex::KettoNum.offset},
    {rh::KisyuRyakusyo, engine::ex::KisyuRyakusyo.offset},
    {rh::Kyori, engine::ex::Kyori.offset},
    {rh::TrackCD, engine::ex::TrackCD.offset},
    {rh::TorokuTosu, engine::ex::TorokuTosu.offset},
    {rh::NyusenJyuni, engine::ex::NyusenJyuni.offset},
    {rh::KakuteiJyuni, engine::ex::KakuteiJyuni.offset},
    {rh::SohaTime, engine::ex::Time.offset},
    {rh::Ninki, engine::ex::Ninki.offset},
    {rh::TanOdds, engine::ex::Odds.offset},
    {rh::HaronTimeL3, engine::ex::HaronTimeL3.offset},
    {rh::ChokyosiRyakusyo, engine::ex::ChokyosiRyakusyo.offset},
    {rh::Baba, kExBaba.offset},
    {rh::AgariWeight, FloatAt(engine::ex_float::kAgariFW)},  // AgariFW 0 to 23
    {rh::PaceWeight, FloatAt(engine::ex_float::kPaceFW)},    // PaceFW, elements 31 to 54
    {rh::SpeedBlock, FloatAt(engine::ex_float::kMeasuredAgari)},  // elements 93 to 112
};

/// The fields of this week's race only (element 0), from the newest record. The breeder's name
/// takes the first 70 of its 72 bytes.
constexpr RunField kSingleFields[] = {
    {rh::SeisansyaName, engine::ex::BreederName.offset},
    {rh::ChichiName, engine::ex::SireBamei.offset},
    {rh::SexCD, engine::ex::SexCD.offset},
    {rh::HassoTime, engine::ex::HassoTime.offset},
    {rh::Futan, engine::ex::Futan.offset},
    {rh::BaTaijyu, engine::ex::BaTaijyu.offset},
    {rh::ZogenFugo, engine::ex::ZogenFugo.offset},
    {rh::ZogenSa, engine::ex::ZogenSa.offset},
    {rh::IJyoCD, engine::ex::IJyoCD.offset},
};

/// The five sample counts: the training counts of the categories of items 6, 19, 20, 21 and 18.
constexpr int kSampleCountTexts[] = {engine::speed_text::kCountItem6, engine::speed_text::kCountItem19,
                                     engine::speed_text::kCountItem20, engine::speed_text::kCountItem21,
                                     engine::speed_text::kCountItem18};

// Width checks: every copy moves as many bytes as both fields hold.
constexpr bool SameWidths() {
    constexpr int kWidths[] = {16, 1, 2, 10, 8, 4, 2, 2, 2, 2, 4, 2, 4, 3, 8, 3, 96, 96, 80};
    const ExRef sources[] = {kExRaceId, engine::ex::Wakuban, engine::ex::Umaban, engine::ex::KettoNum,
                             engine::ex::KisyuRyakusyo, engine::ex::Kyori, engine::ex::TrackCD,
                             engine::ex::TorokuTosu, engine::ex::NyusenJyuni, engine::ex::KakuteiJyuni,
                             engine::ex::Time, engine::ex::Ninki, engine::ex::Odds, engine::ex::HaronTimeL3,
                             engine::ex::ChokyosiRyakusyo};
    for (int i = 0; i < 19; ++i)
        if (kRunFields[i].to.width != kWidths[i]) return false;
    for (int i = 0; i < 15; ++i)
        if (sources[i].width != kWidths[i]) return false;
    return true;
}
static_assert(SameWidths());
static_assert(engine::ex::SireBamei.width == 36 && engine::ex::BreederName.width == 72 &&
              engine::ex::SexCD.width == 1 && engine::ex::HassoTime.width == 4 && engine::ex::Futan.width == 3 &&
              engine::ex::BaTaijyu.width == 3 && engine::ex::ZogenFugo.width == 1 && engine::ex::ZogenSa.width == 3 &&
              engine::ex::IJyoCD.width == 1 && engine::ex::DirtBabaCD.offset == kExBaba.offset + 2);

// The RaceKey12 of an expanded record: Year, MonthDay and JyoCD, then RaceNum.
bool IsRunOfRace(std::string_view record, std::string_view raceKey12) {
    return record.substr(static_cast<std::size_t>(kExRaceId.offset), 10) == raceKey12.substr(0, 10) &&
           record.substr(static_cast<std::size_t>(engine::ex::RaceNum.offset), 2) == raceKey12.substr(10, 2);
}

}  // namespace

void SetRunnerFirstFields(RaceHorseRecord& runner, records::RecordView<records::LayoutSE> se) {
    runner.Set(rh::Wakuban, se.Get(records::se::Wakuban), 0);
    runner.Set(rh::Umaban, se.Get(records::se::Umaban), 0);
    runner.Set(rh::KettoNum, se.Get(records::se::KettoNum), 0);
    runner.Set(rh::Bamei, se.Get(records::se::Bamei));
    runner.SetCrLf();
}

std::vector<RaceEntries> ReadRaceEntries(const std::vector<std::string>& raceKeys, BatchLog& log) {
    std::vector<RaceEntries> races(raceKeys.size());
    std::unordered_map<std::string, std::size_t> raceOf;
    for (std::size_t r = 0; r < raceKeys.size(); ++r) raceOf.emplace(raceKeys[r], r);

    const records::WeekFileSE runnerFile(common::AppPath(records::kSeThisWeekNew));
    log.CountDamagedRecords(runnerFile.ForEach(kBatchStep, [&](std::int64_t, records::RecordView<records::LayoutSE> se) {
        const auto found = raceOf.find(records::RaceKey12Of(se));
        if (found == raceOf.end()) return;
        const std::size_t r = found->second;
        const std::string_view umaban = se.Get(records::se::Umaban);
        if (umaban == "00") return;  // before the draw: no horse number yet
        const int horse = common::IsDigits(umaban) ? static_cast<int>(common::Val(umaban)) : 0;
        if (horse < 1 || horse > kHighestHorseNumber) {
            log.RaceFailed(static_cast<int>(r) + 1, raceKeys[r], "runner record",
                           "horse number \"" + std::string(umaban) + "\" of KettoNum " +
                               std::string(se.Get(records::se::KettoNum)) + " is not 1 to 18: runner passed over");
            return;
        }
        RaceEntries& entries = races[r];
        if (entries.size() < static_cast<std::size_t>(horse)) entries.resize(static_cast<std::size_t>(horse));
        // A later record of the same horse number (a newer data kind) replaces the earlier one whole.
        entries[static_cast<std::size_t>(horse) - 1].emplace().Assign(se.Bytes());
    }));
    return races;
}

RaceRunners FirstFieldRecords(const RaceEntries& entries) {
    RaceRunners runners(entries.size());
    for (std::size_t h = 0; h < entries.size(); ++h)
        if (entries[h]) SetRunnerFirstFields(runners[h], entries[h]->View());
    return runners;
}

namespace {

bool IsSoundRun(std::string_view record) {
    return records::CheckRecord(record, engine::kExKind, engine::ExRecord::kLength) == records::RecordFault::None;
}

// The runs of a damaged file: only its records that stand where they belong (the file read whole
// through the record check), and of those the newest of this race with the whole ones right
// before it.
std::string_view SoundRunsOfRace(const common::RecordFile& exFile, std::string_view raceKey12, std::string& buffer,
                                 std::vector<std::string>* damage) {
    const std::size_t length = exFile.RecordLength();
    const std::string_view bytes = common::ReadFileBytes(exFile.Path(), buffer);
    std::vector<std::int64_t> whole;  // record numbers
    std::vector<std::string> entries;
    records::RecordFileCheck check({}, exFile.Path(), engine::kExKind, length, bytes.size(), &entries);
    for (std::int64_t n = 1; n <= check.Records() && !check.Stopped(); ++n) {
        const std::string_view record = bytes.substr(static_cast<std::size_t>(n - 1) * length, length);
        if (!check.Sound(n, record)) continue;
        // ⑤ writes each run once: a run standing twice in a row was copied into the file.
        if (!whole.empty() && whole.back() == n - 1 &&
            record == bytes.substr(static_cast<std::size_t>(n - 2) * length, length)) {
            entries.push_back(exFile.Path().string() + " record " + std::to_string(n) +
                              ": the same bytes as the record before it (a copy): passed over");
            continue;
        }
        whole.push_back(n);
    }
    check.Finish();
    if (damage) damage->insert(damage->end(), entries.begin(), entries.end());
    for (std::size_t i = whole.size(); i-- > 0;) {
        const std::int64_t k = whole[i];
        if (!IsRunOfRace(bytes.substr(static_cast<std::size_t>(k - 1) * length, length), raceKey12)) continue;
        std::size_t first = i;
        while (first > 0 && whole[first - 1] == whole[first] - 1 && k - whole[first - 1] < kRunElements) --first;
        const auto from = static_cast<std::size_t>(whole[first] - 1) * length;
        return bytes.substr(from, static_cast<std::size_t>(k - whole[first] + 1) * length);
    }
    return {};
}

}  // namespace

std::string_view RunsOfRace(const common::RecordFile& exFile, std::string_view raceKey12, std::string& buffer,
                            std::vector<std::string>* damage) {
    const std::size_t length = exFile.RecordLength();
    // A size that is not a whole number of records: bytes were cut, added or inserted somewhere.
    const std::uint64_t size = exFile.Size();  // one look at the file for both
    if (size % length != 0) return SoundRunsOfRace(exFile, raceKey12, buffer, damage);
    auto newest = static_cast<std::int64_t>(size / length);
    // Backwards a block at a time: this week's record is normally the last one, and then the block
    // is the runs.
    while (newest >= 1) {
        const std::int64_t oldest = std::max<std::int64_t>(1, newest - kRunElements + 1);
        const std::string_view block = exFile.ReadRange(oldest, newest - oldest + 1, buffer);
        const auto inBlock = static_cast<std::int64_t>(block.size() / length);
        for (std::int64_t k = oldest + inBlock - 1; k >= oldest; --k) {
            const std::string_view record = block.substr(static_cast<std::size_t>(k - oldest) * length, length);
            if (!IsRunOfRace(record, raceKey12)) continue;
            const std::int64_t first = std::max<std::int64_t>(1, k - kRunElements + 1);
            const std::string_view runs =
                first == oldest ? block.substr(0, static_cast<std::size_t>(k - first + 1) * length)
                                : exFile.ReadRange(first, k - first + 1, buffer);
            if (runs.size() != static_cast<std::size_t>(k - first + 1) * length)
                throw std::runtime_error(exFile.Path().string() + " changed while it was read");
            for (std::size_t at = 0; at < runs.size(); at += length)
                if (!IsSoundRun(runs.substr(at, length)) ||
                    (at > 0 && runs.compare(at, length, runs, at - length, length) == 0))
                    return SoundRunsOfRace(exFile, raceKey12, buffer, damage);
            return runs;
        }
        if (inBlock < newest - oldest + 1) break;  // the file shrank under us
        newest = oldest - 1;
    }
    return {};
}

std::string RunsOfRace(const common::RecordFile& exFile, std::string_view raceKey12) {
    std::string buffer;
    return std::string(RunsOfRace(exFile, raceKey12, buffer));
}

void CopyRuns(RaceHorseRecord& runner, std::string_view runs) {
    const std::size_t length = engine::ExRecord::kLength;
    const std::size_t count = runs.size() / length;
    if (count == 0) return;
    // Element e of each run field from the e-th record back from the newest.
    const std::string_view newest = runs.substr((count - 1) * length, length);
    const int elements = static_cast<int>(std::min(count, static_cast<std::size_t>(kRunElements)));
    for (const RunField& f : kRunFields)
        runner.CopyRawElements(f.to, newest.data() + f.from, -static_cast<std::ptrdiff_t>(length), elements);
    for (const RunField& f : kSingleFields) runner.CopyRaw(f.to, newest.data() + f.from);
    for (int i = 0; i < 5; ++i)
        runner.CopyRaw(rh::SampleCounts, newest.data() + kExSpeedText.Offset(kSampleCountTexts[i]), i);
    // The age: the last two digits of (race year + 100 - birth year).
    const auto raceYear = common::CLng(common::Val(newest.substr(static_cast<std::size_t>(engine::ex::Year.offset), 4)));
    const auto birthYear = common::CLng(common::Val(newest.substr(static_cast<std::size_t>(kExBirthYear.offset), 4)));
    runner.Set(rh::Barei, common::TwoDigits(raceYear - birthYear));
}

RaceJoin JoinExpandedRuns(int raceIdx, std::string_view raceKey12, RaceRunners& runners,
                          const common::CodeTable& codes, BatchLog& log, std::string& runsBuffer) {
    RaceJoin join;
    const RaceHorseRecord* lastWithRuns = nullptr;
    for (std::size_t h = 1; h <= runners.size(); ++h) {
        RaceHorseRecord& runner = runners[h - 1];
        if (runner.IsBlank()) continue;  // no runner at this horse number: written back as it is
        const std::string kettoNum(runner.Get(rh::KettoNum, 0));
        log.Race(raceIdx, raceKey12, "join of horse number " + std::to_string(h), [&] {
            if (kettoNum.size() != 10 || !common::IsDigits(kettoNum))
                throw std::invalid_argument("KettoNum \"" + kettoNum + "\" is not digits: no runs joined");
            const engine::ExRecordFile exFile = engine::ExRecordFile::OfHorse(kettoNum);
            std::vector<std::string> damage;
            const std::string_view runs = RunsOfRace(common::RecordFile(exFile.Path(), engine::ExRecord::kLength),
                                                     raceKey12, runsBuffer, &damage);
            // Told with the race; the runs that stand where they belong are joined.
            for (const std::string& entry : damage)
                log.RaceFailed(raceIdx, raceKey12, "join of horse number " + std::to_string(h), entry);
            if (runs.empty()) {
                log.RunnerWithoutRuns(raceKey12, static_cast<int>(h), kettoNum, exFile.Path(),
                                      exFile.Count() == 0 ? "no expanded records" : "expanded records of other races only");
            } else {
                RaceHorseRecord joined = runner;
                CopyRuns(joined, runs);
                runner = std::move(joined);
                ++join.runnersWithRuns;
                lastWithRuns = &runner;
            }
            runner.SetFloat(rh::Correction, 0.0f);
        });
    }
    if (lastWithRuns) {
        const RaceHorseRecord& r = *lastWithRuns;
        join.weatherGoing = WeatherGoingText(
            codes, r.Get(rh::TenkoCD, 0),
            GoingCode(r.Get(rh::TrackCD, 0), r.Get(rh::SibaBabaCD, 0), r.Get(rh::DirtBabaCD, 0), kRunnerDirtLast));
        join.weatherGoingSet = true;
    }
    return join;
}

}  // namespace workbench

#include "engine/ex_builder.h"

#include <array>
#include <cstring>
#include <exception>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <system_error>

#include "acquisition/run_files.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/stats_records.h"
#include "records/fields.h"
#include "records/record_check.h"
#include "records/week_record_file.h"

namespace engine {

namespace {

namespace fs = std::filesystem;
using records::LayoutKSStored;
using records::LayoutRA;
using records::LayoutSE;
using records::LayoutUM;
using ExRef = records::Ref<LayoutEx>;

// One field copied from a source record into the expanded record: bytes [from, from + size) to
// [to, to + size). Sizes are checked when compiling, so a copy can neither cut nor pad.
struct Copy {
    int to;
    int from;
    int size;
};

// Bytes of a field with all its repetitions, when they lie back to back.
template <class L>
consteval int Span(records::Ref<L> ref) {
    if (ref.dims > 1 || (ref.dims == 1 && ref.strides[0] != ref.width))
        throw std::logic_error("repetitions not back to back");
    return ref.width * ref.Occurrences();
}

template <class L>
consteval Copy Field(ExRef to, records::Ref<L> from) {
    if (Span(to) != Span(from)) throw std::logic_error("source and target widths differ");
    return {to.offset, from.offset, Span(to)};
}

// Entry i of a repeated group's field (the pedigree entries of the horse record).
template <class L>
consteval Copy Entry(ExRef to, records::Ref<L> from, int i) {
    if (to.dims != 0 || from.dims != 1 || to.width != from.width) throw std::logic_error("not one entry");
    return {to.offset, from.Offset(i), to.width};
}

template <class L>
consteval records::Ref<L> At(std::string_view path) { return records::Locate<L>(path); }

// The run's own fields: the identification (first 40 bytes), the runner fields, the CR LF.
constexpr Copy kRunFields[] = {
    {0, 0, 40},
    Field(ex::Bamei, At<LayoutSE>("Bamei")),
    Field(ex::UmaKigoCD, At<LayoutSE>("UmaKigoCD")),
    Field(ex::SexCD, At<LayoutSE>("SexCD")),
    Field(ex::HinsyuCD, At<LayoutSE>("HinsyuCD")),
    Field(ex::KeiroCD, At<LayoutSE>("KeiroCD")),
    Field(ex::TozaiCD, At<LayoutSE>("TozaiCD")),
    Field(ex::ChokyosiCode, At<LayoutSE>("ChokyosiCode")),
    Field(ex::ChokyosiRyakusyo, At<LayoutSE>("ChokyosiRyakusyo")),
    Field(ex::BanusiCode, At<LayoutSE>("BanusiCode")),
    Field(ex::Fukusyoku, At<LayoutSE>("Fukusyoku")),
    Field(ex::Futan, At<LayoutSE>("Futan")),
    Field(ex::FutanBefore, At<LayoutSE>("FutanBefore")),
    Field(ex::Blinker, At<LayoutSE>("Blinker")),
    Field(ex::Reserved2, At<LayoutSE>("Reserved2")),
    Field(ex::KisyuCode, At<LayoutSE>("KisyuCode")),
    Field(ex::KisyuCodeBefore, At<LayoutSE>("KisyuCodeBefore")),
    Field(ex::KisyuRyakusyo, At<LayoutSE>("KisyuRyakusyo")),
    Field(ex::KisyuRyakusyoBefore, At<LayoutSE>("KisyuRyakusyoBefore")),
    Field(ex::MinaraiCD, At<LayoutSE>("MinaraiCD")),
    Field(ex::MinaraiCDBefore, At<LayoutSE>("MinaraiCDBefore")),
    Field(ex::BaTaijyu, At<LayoutSE>("BaTaijyu")),
    Field(ex::ZogenFugo, At<LayoutSE>("ZogenFugo")),
    Field(ex::ZogenSa, At<LayoutSE>("ZogenSa")),
    Field(ex::IJyoCD, At<LayoutSE>("IJyoCD")),
    Field(ex::NyusenJyuni, At<LayoutSE>("NyusenJyuni")),
    Field(ex::KakuteiJyuni, At<LayoutSE>("KakuteiJyuni")),
    Field(ex::DochakuKubun, At<LayoutSE>("DochakuKubun")),
    Field(ex::DochakuTosu, At<LayoutSE>("DochakuTosu")),
    Field(ex::Time, At<LayoutSE>("Time")),
    Field(ex::ChakusaCD, At<LayoutSE>("ChakusaCD")),
    Field(ex::ChakusaCDP, At<LayoutSE>("ChakusaCDP")),
    Field(ex::ChakusaCDPP, At<LayoutSE>("ChakusaCDPP")),
    Field(ex::Jyuni1c, At<LayoutSE>("Jyuni1c")),
    Field(ex::Jyuni2c, At<LayoutSE>("Jyuni2c")),
    Field(ex::Jyuni3c, At<LayoutSE>("Jyuni3c")),
    Field(ex::Jyuni4c, At<LayoutSE>("Jyuni4c")),
    Field(ex::Odds, At<LayoutSE>("Odds")),
    Field(ex::Ninki, At<LayoutSE>("Ninki")),
    Field(ex::Honsyokin, At<LayoutSE>("Honsyokin")),
    Field(ex::Fukasyokin, At<LayoutSE>("Fukasyokin")),
    Field(ex::Reserved3a, At<LayoutSE>("Reserved3a")),
    Field(ex::Reserved3b, At<LayoutSE>("Reserved3b")),
    Field(ex::HaronTimeL4, At<LayoutSE>("HaronTimeL4")),
    Field(ex::HaronTimeL3, At<LayoutSE>("HaronTimeL3")),
    Field(ex::TimeDiff, At<LayoutSE>("TimeDiff")),
    Field(ex::CrLf, At<LayoutSE>("CrLf")),
};
static_assert(ex::KettoNum.offset + ex::KettoNum.width == 40 &&
              records::se::KettoNum.offset + records::se::KettoNum.width == 40);

// The race's fields.
constexpr Copy kRaceFields[] = {
    Field(ex::YoubiCD, At<LayoutRA>("YoubiCD")),
    Field(ex::GradeCD, At<LayoutRA>("GradeCD")),
    Field(ex::GradeCDBefore, At<LayoutRA>("GradeCDBefore")),
    Field(ex::SyubetuCD, At<LayoutRA>("JyokenInfo.SyubetuCD")),
    Field(ex::KigoCD, At<LayoutRA>("JyokenInfo.KigoCD")),
    Field(ex::JyuryoCD, At<LayoutRA>("JyokenInfo.JyuryoCD")),
    Field(ex::JyokenCD, At<LayoutRA>("JyokenInfo.JyokenCD")),
    Field(ex::Kyori, At<LayoutRA>("Kyori")),
    Field(ex::KyoriBefore, At<LayoutRA>("KyoriBefore")),
    Field(ex::TrackCD, At<LayoutRA>("TrackCD")),
    Field(ex::TrackCDBefore, At<LayoutRA>("TrackCDBefore")),
    Field(ex::CourseKubunCD, At<LayoutRA>("CourseKubunCD")),
    Field(ex::CourseKubunCDBefore, At<LayoutRA>("CourseKubunCDBefore")),
    Field(ex::RaceHonsyokin, At<LayoutRA>("Honsyokin")),
    Field(ex::RaceHonsyokinBefore, At<LayoutRA>("HonsyokinBefore")),
    Field(ex::RaceFukasyokin, At<LayoutRA>("Fukasyokin")),
    Field(ex::RaceFukasyokinBefore, At<LayoutRA>("FukasyokinBefore")),
    Field(ex::HassoTime, At<LayoutRA>("HassoTime")),
    Field(ex::HassoTimeBefore, At<LayoutRA>("HassoTimeBefore")),
    Field(ex::TorokuTosu, At<LayoutRA>("TorokuTosu")),
    Field(ex::SyussoTosu, At<LayoutRA>("SyussoTosu")),
    Field(ex::NyusenTosu, At<LayoutRA>("NyusenTosu")),
    Field(ex::TenkoCD, At<LayoutRA>("TenkoBaba.TenkoCD")),
    Field(ex::SibaBabaCD, At<LayoutRA>("TenkoBaba.SibaBabaCD")),
    Field(ex::DirtBabaCD, At<LayoutRA>("TenkoBaba.DirtBabaCD")),
    Field(ex::LapTime, At<LayoutRA>("LapTime")),
    Field(ex::SyogaiMileTime, At<LayoutRA>("SyogaiMileTime")),
    Field(ex::RaceHaronTimeS3, At<LayoutRA>("HaronTimeS3")),
    Field(ex::RaceHaronTimeS4, At<LayoutRA>("HaronTimeS4")),
    Field(ex::RaceHaronTimeL3, At<LayoutRA>("HaronTimeL3")),
    Field(ex::RaceHaronTimeL4, At<LayoutRA>("HaronTimeL4")),
    Field(ex::CornerInfo, At<LayoutRA>("CornerInfo")),
};

// The horse's fields (pedigree entries 0 sire, 1 dam, 3 sire's dam); the foal order follows them
// in a horse row.
constexpr auto kUmPedigreeNum = records::Locate<LayoutUM>("Ketto3Info", "HansyokuNum");
constexpr auto kUmPedigreeName = records::Locate<LayoutUM>("Ketto3Info", "Bamei");
constexpr Copy kHorseFields[] = {
    Field(ex::BirthDate, At<LayoutUM>("BirthDate")),
    Field(ex::SyotaiChiiki, At<LayoutUM>("SyotaiChiiki")),
    Field(ex::BreederCode, At<LayoutUM>("BreederCode")),
    Field(ex::BreederName, At<LayoutUM>("BreederName")),
    Field(ex::SanchiName, At<LayoutUM>("SanchiName")),
    Entry(ex::SireHansyokuNum, kUmPedigreeNum, 0),
    Entry(ex::SireBamei, kUmPedigreeName, 0),
    Entry(ex::DamHansyokuNum, kUmPedigreeNum, 1),
    Entry(ex::SiresDamBamei, kUmPedigreeName, 3),
    {ex::FoalOrder.offset, -1, ex::FoalOrder.width},  // from ProduceOrder, not from the record
};

// The jockey's fields.
constexpr Copy kJockeyFields[] = {
    Field(ex::KisyuBirthDate, At<LayoutKSStored>("BirthDate")),
    Field(ex::KisyuSexCD, At<LayoutKSStored>("SexCD")),
    Field(ex::KisyuSyotaiChiiki, At<LayoutKSStored>("SyotaiChiiki")),
    Field(ex::KisyuSikakuCD, At<LayoutKSStored>("SikakuCD")),
};

// A copy list with the copies that continue one another in both records made one: the same
// bytes move in fewer, longer copies.
template <std::size_t N>
struct CopyList {
    std::array<Copy, N> copies{};
    std::size_t count = 0;
    constexpr operator std::span<const Copy>() const { return {copies.data(), count}; }
};

template <std::size_t N>
consteval CopyList<N> Joined(const Copy (&fields)[N]) {
    CopyList<N> list;
    for (const Copy& c : fields) {
        Copy* last = list.count > 0 ? &list.copies[list.count - 1] : nullptr;
        if (last && last->from >= 0 && c.from >= 0 && last->to + last->size == c.to && last->from + last->size == c.from)
            last->size += c.size;
        else
            list.copies[list.count++] = c;
    }
    return list;
}

constexpr auto kRunCopies = Joined(kRunFields);
constexpr auto kRaceCopies = Joined(kRaceFields);
constexpr auto kHorseCopies = Joined(kHorseFields);
constexpr auto kJockeyCopies = Joined(kJockeyFields);

constexpr int RowSize(std::span<const Copy> copies) {
    int size = 0;
    for (const Copy& c : copies) size += c.size;
    return size;
}

// A table row: the source's bytes of each copy, back to back in the list's order.
std::string Gather(std::string_view source, std::span<const Copy> copies) {
    std::string row;
    row.reserve(static_cast<std::size_t>(RowSize(copies)));
    for (const Copy& c : copies)
        if (c.from >= 0) row.append(source.substr(static_cast<std::size_t>(c.from), static_cast<std::size_t>(c.size)));
    return row;
}

// Puts a row's bytes (or blanks, for no row) in their places of the record.
void Scatter(char* record, const char* row, std::span<const Copy> copies) {
    std::size_t at = 0;
    for (const Copy& c : copies) {
        const auto size = static_cast<std::size_t>(c.size);
        if (row != nullptr) std::memcpy(record + c.to, row + at, size);
        else std::memset(record + c.to, ' ', size);
        at += size;
    }
}

// Copies of the run record, which is used in place (it is the source).
void CopyRun(char* record, std::string_view run) {
    for (const Copy& c : std::span<const Copy>(kRunCopies))
        std::memcpy(record + c.to, run.data() + c.from, static_cast<std::size_t>(c.size));
}

// The record as the builder starts every run: zero bytes, blanks in the reserved fields.
const std::string& EmptyRecord() {
    static const std::string bytes = [] {
        ExRecord record;
        record.BlankReservedFields();
        return std::string(record.Bytes());
    }();
    return bytes;
}

// JyoCD, Year, MonthDay and RaceNum: the key of a race row and of a run's race.
template <class View>
std::string RaceRowKey(const View& record) {
    using L = typename View::Layout;
    std::string key;
    key.reserve(12);
    key.append(record.Get(records::kJyoCD<L>));
    key.append(record.Get(records::kYear<L>));
    key.append(record.Get(records::kMonthDay<L>));
    key.append(record.Get(records::kRaceNum<L>));
    return key;
}

// The progress bar moves only when its value changes.
class Bar {
public:
    explicit Bar(const ExBuildProgress& progress) : progress_(progress) {}
    void Set(std::int64_t done, std::int64_t total) {
        if (!progress_ || total <= 0) return;
        const int value = static_cast<int>(done * 100 / total);
        if (value == last_) return;
        last_ = value;
        progress_(value);
    }

private:
    const ExBuildProgress& progress_;
    int last_ = -1;
};

constexpr std::size_t kRunLength = static_cast<std::size_t>(records::kLength<LayoutSE>);

}  // namespace

ExJoinTables ExJoinTables::Load(const ExBuildProgress& progress) {
    ExJoinTables tables;

    // Horses, each with its place among its dam's foals.
    {
        const records::WeekFileUM file(common::AppPath(records::kUmThisWeekNew));
        const std::int64_t count = file.Count();
        tables.horses_.Reserve(count, RowSize(kHorseCopies) + 2);  // and the two digits of the foal order
        DamFoalFile foals;
        Bar bar(progress);
        tables.recordsPassedOver_ += file.ForEach(kExBuildStep, [&](std::int64_t n, records::RecordView<LayoutUM> um) {
            std::string row = Gather(um.Bytes(), kHorseCopies);
            row += foals.ProduceOrder(um.Get(kUmPedigreeNum, 1), um.Get(records::um::KettoNum));
            tables.horses_.Put(um.Get(records::um::KettoNum), row);
            ++tables.horseRows_;
            bar.Set(n, count);
        });
        tables.recordsPassedOver_ += foals.RecordsPassedOver();
    }

    // Jockeys: this week's records, then the supplied ones, so that the supplied values win.
    for (const fs::path& path : {common::AppPath(records::kKsThisWeek), common::Option1nPath(kSuppliedJockeyFile)}) {
        const records::WeekFileKS file(path);
        tables.recordsPassedOver_ += file.ForEach(kExBuildStep, [&](std::int64_t, records::RecordView<LayoutKSStored> ks) {
            tables.jockeys_.Put(ks.Get(records::ks_stored::KisyuCode), Gather(ks.Bytes(), kJockeyCopies));
            ++tables.jockeyRows_;
        });
    }

    // Races.
    {
        const records::WeekFileRA file(common::AppPath(records::kRaThisWeekNew));
        tables.races_.Reserve(file.Count(), RowSize(kRaceCopies));
        tables.recordsPassedOver_ += file.ForEach(kExBuildStep, [&](std::int64_t, records::RecordView<LayoutRA> ra) {
            tables.races_.Put(RaceRowKey(ra), Gather(ra.Bytes(), kRaceCopies));
            ++tables.raceRows_;
        });
    }
    return tables;
}

void ExJoinTables::Rows::Reserve(std::int64_t rows, std::size_t width) {
    const auto count = static_cast<std::size_t>(std::max<std::int64_t>(rows, 0));
    start_.reserve(count);
    bytes_.reserve(count * width);
}

void ExJoinTables::Rows::Put(std::string_view key, std::string_view row) {
    const auto [at, added] = start_.try_emplace(std::string(key), bytes_.size());
    if (added) bytes_.append(row);
    else bytes_.replace(at->second, row.size(), row);
}

const char* ExJoinTables::Rows::Find(std::string_view key) const {
    const auto found = start_.find(key);
    return found == start_.end() ? nullptr : bytes_.data() + found->second;
}

HorseExpansion ExpandHorseRuns(const ExJoinTables& tables, std::string_view kettoNum, std::string_view runFile) {
    HorseExpansion out;
    out.runs = static_cast<std::int64_t>(runFile.size() / kRunLength);
    out.records.reserve(static_cast<std::size_t>(out.runs));

    const char* horse = tables.Horse(kettoNum);
    std::string blanked;
    // A damaged run is passed over (told in the failures), and a shifted one ends the runs there.
    const fs::path path = acquisition::HorseRunFilePath(kettoNum);
    records::RecordFileCheck check(kExBuildStep, path, LayoutSE::kName, kRunLength, runFile.size(), &out.failures);
    RepeatedRuns seen(static_cast<std::size_t>(out.runs));
    std::int64_t repeats = 0;
    for (std::int64_t j = 1; j <= out.runs && !check.Stopped(); ++j) {
        try {
            const std::string_view stored = runFile.substr(static_cast<std::size_t>(j - 1) * kRunLength, kRunLength);
            if (!check.Sound(j, stored)) continue;
            if (const std::int64_t earlier = seen.Seen(j, stored)) {
                out.failures.push_back(RepeatedRunLine(path, j, earlier));
                ++repeats;
                continue;
            }
            const records::RecordView<LayoutSE> run(acquisition::RecordAsRead(stored, blanked));
            // Built in place and handed over whole to the record.
            std::string record = EmptyRecord();
            CopyRun(record.data(), run.Bytes());
            Scatter(record.data(), horse, kHorseCopies);
            Scatter(record.data(), tables.Race(RaceRowKey(run)), kRaceCopies);
            Scatter(record.data(), tables.Jockey(run.Get(records::se::KisyuCode)), kJockeyCopies);
            out.records.push_back(ExRecord::FromBytes(std::move(record)));
        } catch (const std::exception& e) {
            // Record j must stay run j: the records end before the run that failed.
            out.failures.push_back(std::string(kettoNum) + " run " + std::to_string(j) + ": " + e.what());
            out.complete = false;
            break;
        }
    }
    check.Finish();
    out.recordsPassedOver = check.PassedOver() + repeats;

    // The order check: a last record made before the one in front of it is an older version of
    // that run (added at the end of the run file), so it is left out.
    const std::size_t m = out.records.size();
    if (m > 1) {
        const auto last = common::StrictNumber(out.records[m - 1].Get(ex::MakeDate));
        const auto before = common::StrictNumber(out.records[m - 2].Get(ex::MakeDate));
        if (!last || !before) {
            out.failures.push_back(std::string(kettoNum) +
                                   ": MakeDate of the last two records is not a number; all records kept");
        } else if (*last < *before) {
            out.records.pop_back();
            out.lastDropped = true;
        }
    }
    return out;
}

std::string RepeatedRunLine(const fs::path& runFile, std::int64_t n, std::int64_t earlier) {
    return runFile.string() + " record " + std::to_string(n) + ": the same run as record " + std::to_string(earlier) +
           ": passed over";
}

HorseExpansion ExpandHorse(const ExJoinTables& tables, std::string_view kettoNum) {
    if (!acquisition::IsValidKettoNum(kettoNum))
        throw std::invalid_argument("KettoNum \"" + std::string(kettoNum) + "\" cannot name a file");
    return ExpandHorseRuns(tables, kettoNum, common::ReadFileBytes(acquisition::HorseRunFilePath(kettoNum)));
}

void WriteExRecords(std::string_view kettoNum, const std::vector<ExRecord>& records) {
    const ExRecordFile file = ExRecordFile::OfHorse(kettoNum);
    common::CreateFolders(file.Path().parent_path());
    // The records go out from where they are, in one write.
    std::vector<std::string_view> pieces;
    pieces.reserve(records.size());
    for (const ExRecord& r : records) pieces.push_back(r.Bytes());
    common::WriteFileAtomically(file.Path(), pieces);
}

ExBuildSummary BuildExRecords(const std::vector<std::string>& weekHorseList, const ExBuildProgress& progressBar3) {
    ExBuildSummary summary;
    summary.horses = static_cast<std::int64_t>(weekHorseList.size());

    ExJoinTables tables;
    summary.tablesLoaded = common::PassOver(kExBuildStep, [&] { tables = ExJoinTables::Load(progressBar3); });
    if (!summary.tablesLoaded) return summary;
    summary.recordsPassedOver = tables.RecordsPassedOver();

    Bar bar(progressBar3);
    std::int64_t i = 0;
    for (const std::string& kettoNum : weekHorseList) {
        const bool done = common::PassOver(kExBuildStep, [&] {
            HorseExpansion horse = ExpandHorse(tables, kettoNum);
            for (const std::string& line : horse.failures) common::LogError(kExBuildStep, line);
            WriteExRecords(kettoNum, horse.records);
            ++summary.filesWritten;
            summary.runs += horse.runs;
            summary.records += static_cast<std::int64_t>(horse.records.size());
            if (horse.lastDropped) ++summary.lastRecordsDropped;
            if (!horse.complete) ++summary.horsesPassedOver;
            summary.recordsPassedOver += horse.recordsPassedOver;
        });
        if (!done) ++summary.horsesPassedOver;
        bar.Set(++i, summary.horses);
    }
    return summary;
}

}  // namespace engine

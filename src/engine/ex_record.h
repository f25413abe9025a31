#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/record_file.h"
#include "records/layouts.h"
#include "records/record.h"

// The expanded record of one past run of one horse (2603 bytes): fixed-width Shift-JIS text of
// the run, race, horse, pedigree and jockey, the speed texts, the thirty item labels and their
// category indices; then 113 little-endian single-precision floats; then CR LF. One file per horse,
// UMAGOTOEXTHISWEEKN/<KettoNum>EX.dat, record n being run n of the horse, oldest first.
namespace engine {

/// The record's layout, field by field. Fields that the builder leaves unset stay zero bytes.
struct LayoutEx {
    static constexpr std::string_view kName = "EX";
    static constexpr bool kStored = false;
    static constexpr auto kItems = records::Concat(
        records::table::kHeader, records::table::kRaceId,
        std::array{
            records::F("Wakuban", 1), records::F("Umaban", 2), records::F("KettoNum", 10),
            records::F("FoalOrder", 2), records::F("YoubiCD", 1), records::F("ExReserved1", 10),
            records::G("SaleBlock"), records::F("MarketCode", 6), records::F("MarketHost", 40),
            records::F("MarketName", 80), records::F("MarketStart", 8), records::F("MarketEnd", 8),
            records::F("SaleAge", 1), records::F("SalePrice", 10), records::End(),
            records::G("ExHorse")},
        records::table::Date("BirthDate"),
        std::array{
            records::F("SyotaiChiiki", 20), records::F("BreederCode", 8), records::F("BreederName", 72),
            records::F("SanchiName", 20), records::End(),
            records::G("ExPedigree"),
            records::G("Block1"), records::F("HansyokuNum", 10), records::F("Bamei", 36),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::G("Block2"), records::F("HansyokuNum", 10),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::G("Block3"), records::F("HansyokuNum", 10), records::F("Bamei", 36),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::G("Block4"), records::F("HansyokuNum", 10), records::F("Bamei", 36),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::G("Block5"), records::F("HansyokuNum", 10), records::F("Bamei", 36),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::G("Block6"), records::F("HansyokuNum", 10), records::F("Bamei", 36),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::G("Block7"), records::F("HansyokuNum", 10), records::F("Bamei", 36),
            records::F("BirthYear", 4), records::F("SanchiName", 20), records::End(),
            records::End(),
            records::G("ExRun"),
            records::F("Bamei", 36), records::F("ExReserved2", 1), records::F("UmaKigoCD", 2),
            records::F("SexCD", 1), records::F("HinsyuCD", 1), records::F("KeiroCD", 2),
            records::F("TozaiCD", 1), records::F("ChokyosiCode", 5), records::F("ChokyosiRyakusyo", 8),
            records::F("BanusiCode", 6), records::F("ExReserved3", 64), records::F("Fukusyoku", 60),
            records::F("Futan", 3), records::F("FutanBefore", 3), records::F("Blinker", 1),
            records::F("Reserved2", 1), records::F("KisyuCode", 5)},
        records::table::Date("KisyuBirthDate"),
        std::array{
            records::F("KisyuSexCD", 1), records::F("KisyuSyotaiChiiki", 20), records::F("KisyuSikakuCD", 1),
            records::F("KisyuCodeBefore", 5), records::F("KisyuRyakusyo", 8),
            records::F("KisyuRyakusyoBefore", 8), records::F("MinaraiCD", 1), records::F("MinaraiCDBefore", 1),
            records::F("BaTaijyu", 3), records::F("ZogenFugo", 1), records::F("ZogenSa", 3),
            records::F("IJyoCD", 1), records::F("NyusenJyuni", 2), records::F("KakuteiJyuni", 2),
            records::F("DochakuKubun", 1), records::F("DochakuTosu", 1), records::F("Time", 4),
            records::F("ChakusaCD", 3), records::F("ChakusaCDP", 3), records::F("ChakusaCDPP", 3),
            records::F("Jyuni1c", 2), records::F("Jyuni2c", 2), records::F("Jyuni3c", 2),
            records::F("Jyuni4c", 2), records::F("Odds", 4), records::F("Ninki", 2),
            records::F("Honsyokin", 8), records::F("Fukasyokin", 8), records::F("Reserved3a", 3),
            records::F("Reserved3b", 3), records::F("HaronTimeL4", 3), records::F("HaronTimeL3", 3),
            records::F("TimeDiff", 4), records::End(),
            records::G("ExRace"),
            records::F("GradeCD", 1), records::F("GradeCDBefore", 1), records::F("SyubetuCD", 2),
            records::F("KigoCD", 3), records::F("JyuryoCD", 1), records::F("JyokenCD", 3, 5),
            records::F("Kyori", 4), records::F("KyoriBefore", 4), records::F("TrackCD", 2),
            records::F("TrackCDBefore", 2), records::F("CourseKubunCD", 2), records::F("CourseKubunCDBefore", 2),
            records::F("Honsyokin", 8, 7), records::F("HonsyokinBefore", 8, 5), records::F("Fukasyokin", 8, 5),
            records::F("FukasyokinBefore", 8, 3), records::F("HassoTime", 4), records::F("HassoTimeBefore", 4),
            records::F("TorokuTosu", 2), records::F("SyussoTosu", 2), records::F("NyusenTosu", 2),
            records::F("TenkoCD", 1), records::F("SibaBabaCD", 1), records::F("DirtBabaCD", 1),
            records::F("LapTime", 3, 25), records::F("SyogaiMileTime", 4), records::F("HaronTimeS3", 3),
            records::F("HaronTimeS4", 3), records::F("HaronTimeL3", 3), records::F("HaronTimeL4", 3),
            records::G("CornerInfo", 4), records::F("Corner", 1), records::F("Syukaisu", 1),
            records::F("Jyuni", 70), records::End(),
            records::End(),
            records::F("SpeedText", 7, 20),
            records::G("ExItems"),
            records::F("YearMonth", 9), records::F("CourseWaku", 11), records::F("PrevDistanceClass", 9),
            records::F("Futanjuryo", 4), records::F("RuikeiHonshokin", 5), records::F("Kyosokigo", 6),
            records::F("KishuFukusho", 5), records::F("KyosobaFukusho", 4), records::F("RaceSuu", 3),
            records::F("FutanJuryoritu", 3), records::F("Bataiju", 4), records::F("Barei", 3),
            records::F("FatherValueLog", 6), records::F("RaceKankaku", 6), records::F("ZensoOdds", 6),
            records::F("FatherBaba", 4), records::F("MotherBaba", 4), records::F("KishuNenrei", 6),
            records::F("TrainerFukusho", 5), records::F("FatherArning", 10), records::F("GradeJoken", 10),
            records::F("KyoriCourse", 5), records::F("FatherKyoriFukusho", 10), records::F("UmabanBand", 6),
            records::F("UmakigoTuki", 4), records::F("ZensoTimediff", 4), records::F("KaijiNichiji", 8),
            records::F("TosuBand", 6), records::F("TenkoBabaJikoku", 6), records::F("KyosobaArning", 4),
            records::End(),
            records::F("CategoryIndex", 4, 31),
            records::F("ExFloats", 4, 113)},
        records::table::kCrLf);
};

static_assert(records::kLength<LayoutEx> == 2603);

/// Named fields of the record (get with ExRecord::Get/Text, set with ExRecord::Set). Run fields
/// carry the SE names; where the race has a field of the same name it is prefixed "Race".
namespace ex {
template <std::size_t N>
consteval records::Ref<LayoutEx> At(const char (&path)[N]) { return records::Locate<LayoutEx>(std::string_view(path, N - 1)); }

// ExHead: the first 40 bytes of the run's SE record.
inline constexpr auto RecordSpec = At("RecordSpec");
inline constexpr auto DataKubun = At("DataKubun");
inline constexpr auto MakeDate = At("MakeDate");              // 8: yyyymmdd of the SE record
inline constexpr auto Year = At("RaceId.Year");
inline constexpr auto MonthDay = At("RaceId.MonthDay");
inline constexpr auto JyoCD = At("RaceId.JyoCD");
inline constexpr auto Kaiji = At("RaceId.Kaiji");
inline constexpr auto Nichiji = At("RaceId.Nichiji");
inline constexpr auto RaceNum = At("RaceId.RaceNum");
inline constexpr auto Wakuban = At("Wakuban");
inline constexpr auto Umaban = At("Umaban");
inline constexpr auto KettoNum = At("KettoNum");
// Run and horse additions.
inline constexpr auto FoalOrder = At("FoalOrder");
inline constexpr auto YoubiCD = At("YoubiCD");
inline constexpr auto ExReserved1 = At("ExReserved1");
inline constexpr auto SaleBlock = At("SaleBlock");            // the seven sale fields together
inline constexpr auto BirthDate = At("ExHorse.BirthDate");    // 8: yyyymmdd
inline constexpr auto BirthMonth = At("ExHorse.BirthDate.Month");
inline constexpr auto SyotaiChiiki = At("ExHorse.SyotaiChiiki");
inline constexpr auto BreederCode = At("ExHorse.BreederCode");
inline constexpr auto BreederName = At("ExHorse.BreederName");
inline constexpr auto SanchiName = At("ExHorse.SanchiName");
// Pedigree: block 1 the sire, block 2 the dam, block 7's name the sire's dam.
inline constexpr auto SireHansyokuNum = At("ExPedigree.Block1.HansyokuNum");
inline constexpr auto SireBamei = At("ExPedigree.Block1.Bamei");
inline constexpr auto DamHansyokuNum = At("ExPedigree.Block2.HansyokuNum");
inline constexpr auto SiresDamBamei = At("ExPedigree.Block7.Bamei");
// ExRun: the runner fields, with the jockey's from the jockey table after KisyuCode.
inline constexpr auto Bamei = At("ExRun.Bamei");
inline constexpr auto UmaKigoCD = At("ExRun.UmaKigoCD");
inline constexpr auto SexCD = At("ExRun.SexCD");
inline constexpr auto HinsyuCD = At("ExRun.HinsyuCD");
inline constexpr auto KeiroCD = At("ExRun.KeiroCD");
inline constexpr auto TozaiCD = At("ExRun.TozaiCD");
inline constexpr auto ChokyosiCode = At("ExRun.ChokyosiCode");
inline constexpr auto ChokyosiRyakusyo = At("ExRun.ChokyosiRyakusyo");
inline constexpr auto BanusiCode = At("ExRun.BanusiCode");
inline constexpr auto Fukusyoku = At("ExRun.Fukusyoku");
inline constexpr auto Futan = At("ExRun.Futan");
inline constexpr auto FutanBefore = At("ExRun.FutanBefore");
inline constexpr auto Blinker = At("ExRun.Blinker");
inline constexpr auto Reserved2 = At("ExRun.Reserved2");
inline constexpr auto KisyuCode = At("ExRun.KisyuCode");
inline constexpr auto KisyuBirthDate = At("ExRun.KisyuBirthDate");  // 8: yyyymmdd, blanks when unknown
inline constexpr auto KisyuBirthYear = At("ExRun.KisyuBirthDate.Year");
inline constexpr auto KisyuSexCD = At("ExRun.KisyuSexCD");
inline constexpr auto KisyuSyotaiChiiki = At("ExRun.KisyuSyotaiChiiki");
inline constexpr auto KisyuSikakuCD = At("ExRun.KisyuSikakuCD");
inline constexpr auto KisyuCodeBefore = At("ExRun.KisyuCodeBefore");
inline constexpr auto KisyuRyakusyo = At("ExRun.KisyuRyakusyo");
inline constexpr auto KisyuRyakusyoBefore = At("ExRun.KisyuRyakusyoBefore");
inline constexpr auto MinaraiCD = At("ExRun.MinaraiCD");
inline constexpr auto MinaraiCDBefore = At("ExRun.MinaraiCDBefore");
inline constexpr auto BaTaijyu = At("ExRun.BaTaijyu");
inline constexpr auto ZogenFugo = At("ExRun.ZogenFugo");
inline constexpr auto ZogenSa = At("ExRun.ZogenSa");
inline constexpr auto IJyoCD = At("ExRun.IJyoCD");
inline constexpr auto NyusenJyuni = At("ExRun.NyusenJyuni");
inline constexpr auto KakuteiJyuni = At("ExRun.KakuteiJyuni");
inline constexpr auto DochakuKubun = At("ExRun.DochakuKubun");
inline constexpr auto DochakuTosu = At("ExRun.DochakuTosu");
inline constexpr auto Time = At("ExRun.Time");
inline constexpr auto ChakusaCD = At("ExRun.ChakusaCD");
inline constexpr auto ChakusaCDP = At("ExRun.ChakusaCDP");
inline constexpr auto ChakusaCDPP = At("ExRun.ChakusaCDPP");
inline constexpr auto Jyuni1c = At("ExRun.Jyuni1c");
inline constexpr auto Jyuni2c = At("ExRun.Jyuni2c");
inline constexpr auto Jyuni3c = At("ExRun.Jyuni3c");
inline constexpr auto Jyuni4c = At("ExRun.Jyuni4c");
inline constexpr auto Odds = At("ExRun.Odds");
inline constexpr auto Ninki = At("ExRun.Ninki");
inline constexpr auto Honsyokin = At("ExRun.Honsyokin");        // the horse's own prize in the run
inline constexpr auto Fukasyokin = At("ExRun.Fukasyokin");
inline constexpr auto Reserved3a = At("ExRun.Reserved3a");
inline constexpr auto Reserved3b = At("ExRun.Reserved3b");
inline constexpr auto HaronTimeL4 = At("ExRun.HaronTimeL4");    // the horse's own last 4 furlongs
inline constexpr auto HaronTimeL3 = At("ExRun.HaronTimeL3");    // the horse's own last 3 furlongs
inline constexpr auto TimeDiff = At("ExRun.TimeDiff");
// ExRace: the race fields of the RA record.
inline constexpr auto GradeCD = At("ExRace.GradeCD");
inline constexpr auto GradeCDBefore = At("ExRace.GradeCDBefore");
inline constexpr auto SyubetuCD = At("ExRace.SyubetuCD");
inline constexpr auto KigoCD = At("ExRace.KigoCD");
inline constexpr auto JyuryoCD = At("ExRace.JyuryoCD");
inline constexpr auto JyokenCD = At("ExRace.JyokenCD");          // x 5, index 0..4
inline constexpr auto Kyori = At("ExRace.Kyori");
inline constexpr auto KyoriBefore = At("ExRace.KyoriBefore");
inline constexpr auto TrackCD = At("ExRace.TrackCD");
inline constexpr auto TrackCDBefore = At("ExRace.TrackCDBefore");
inline constexpr auto CourseKubunCD = At("ExRace.CourseKubunCD");
inline constexpr auto CourseKubunCDBefore = At("ExRace.CourseKubunCDBefore");
inline constexpr auto RaceHonsyokin = At("ExRace.Honsyokin");    // x 7: the race's prize table
inline constexpr auto RaceHonsyokinBefore = At("ExRace.HonsyokinBefore");  // x 5
inline constexpr auto RaceFukasyokin = At("ExRace.Fukasyokin");  // x 5
inline constexpr auto RaceFukasyokinBefore = At("ExRace.FukasyokinBefore");  // x 3
inline constexpr auto HassoTime = At("ExRace.HassoTime");
inline constexpr auto HassoTimeBefore = At("ExRace.HassoTimeBefore");
inline constexpr auto TorokuTosu = At("ExRace.TorokuTosu");
inline constexpr auto SyussoTosu = At("ExRace.SyussoTosu");
inline constexpr auto NyusenTosu = At("ExRace.NyusenTosu");
inline constexpr auto TenkoCD = At("ExRace.TenkoCD");
inline constexpr auto SibaBabaCD = At("ExRace.SibaBabaCD");
inline constexpr auto DirtBabaCD = At("ExRace.DirtBabaCD");
inline constexpr auto LapTime = At("ExRace.LapTime");            // x 25
inline constexpr auto SyogaiMileTime = At("ExRace.SyogaiMileTime");
inline constexpr auto RaceHaronTimeS3 = At("ExRace.HaronTimeS3");
inline constexpr auto RaceHaronTimeS4 = At("ExRace.HaronTimeS4");
inline constexpr auto RaceHaronTimeL3 = At("ExRace.HaronTimeL3");
inline constexpr auto RaceHaronTimeL4 = At("ExRace.HaronTimeL4");
inline constexpr auto CornerInfo = At("ExRace.CornerInfo");      // x 4, 72 bytes each
inline constexpr auto CrLf = At("CrLf");

/// Label fields of the thirty model items, by item number 1 to 30 (entry 0 is empty).
inline constexpr std::array<records::Ref<LayoutEx>, 31> ItemLabel = {
    records::Ref<LayoutEx>{},        At("ExItems.YearMonth"),       At("ExItems.CourseWaku"),
    At("ExItems.PrevDistanceClass"), At("ExItems.Futanjuryo"),      At("ExItems.RuikeiHonshokin"),
    At("ExItems.Kyosokigo"),         At("ExItems.KishuFukusho"),    At("ExItems.KyosobaFukusho"),
    At("ExItems.RaceSuu"),           At("ExItems.FutanJuryoritu"),  At("ExItems.Bataiju"),
    At("ExItems.Barei"),             At("ExItems.FatherValueLog"),  At("ExItems.RaceKankaku"),
    At("ExItems.ZensoOdds"),         At("ExItems.FatherBaba"),      At("ExItems.MotherBaba"),
    At("ExItems.KishuNenrei"),       At("ExItems.TrainerFukusho"),  At("ExItems.FatherArning"),
    At("ExItems.GradeJoken"),        At("ExItems.KyoriCourse"),     At("ExItems.FatherKyoriFukusho"),
    At("ExItems.UmabanBand"),        At("ExItems.UmakigoTuki"),     At("ExItems.ZensoTimediff"),
    At("ExItems.KaijiNichiji"),      At("ExItems.TosuBand"),        At("ExItems.TenkoBabaJikoku"),
    At("ExItems.KyosobaArning")};
}  // namespace ex

/// Width of item k's label field (1 to 30).
int ItemLabelWidth(int k);
/// Name of item k ("YearMonth" ... "KyosobaArning").
std::string_view ItemName(int k);

/// Elements of SpeedText (7 characters each).
namespace speed_text {
inline constexpr int kMeasuredAgari = 0, kMeasuredPace = 1, kMeasuredSoha = 2;
inline constexpr int kPredictedAgari = 3, kPredictedPace = 4, kPredictedSoha = 5;
/// Training counts of the categories of items 6, 18, 19, 20 and 21: elements 6 to 10.
inline constexpr int kCountItem6 = 6, kCountItem18 = 7, kCountItem19 = 8, kCountItem20 = 9, kCountItem21 = 10;
inline constexpr int kCount = 20;
}  // namespace speed_text

/// Elements of ExFloats.
namespace ex_float {
inline constexpr int kAgariFW = 0;   // + k: Agari weight of item k (1 to 30)
inline constexpr int kPaceFW = 31;   // + k
inline constexpr int kSohaFW = 62;   // + k
inline constexpr int kMeasuredAgari = 93, kMeasuredPace = 94, kMeasuredSoha = 95;
inline constexpr int kPredictedAgari = 96, kPredictedPace = 97, kPredictedSoha = 98;
inline constexpr int kCombinedSoha = 99;
inline constexpr int kMeasuredSohaMinusCombined = 100;
inline constexpr int kPredictedSohaMinusCombined = 101;
inline constexpr int kAgariMeasuredMinusPredicted = 102;
inline constexpr int kPaceMeasuredMinusPredicted = 103;
inline constexpr int kSohaMeasuredMinusPredicted = 104;
/// 100 x (measured Soha - predicted Agari) / (predicted Pace - predicted Agari).
inline constexpr int kSohaBetweenAgariPace = 105;
inline constexpr int kCount = 113;
}  // namespace ex_float

class ExRecord : public records::FieldAccess<LayoutEx, ExRecord> {
public:
    static constexpr std::size_t kLength = 2603;
    static constexpr std::size_t kTextLength = 2149;   // the floats start after it
    static constexpr std::size_t kFloatsOffset = 2149;  // 0-based

    /// Every byte zero: the unset and prediction fields as a fresh record has them.
    ExRecord();
    /// A record read from a file: exactly kLength bytes, kept as they are (zero bytes included).
    /// Throws std::invalid_argument for another length.
    static ExRecord FromBytes(std::string_view bytes);
    /// The same, taking over the bytes without a copy.
    static ExRecord FromBytes(std::string&& bytes);

    std::string_view Bytes() const { return bytes_; }

    /// Writes a text field: left-aligned, blank-padded, cut before a character that would not fit
    /// whole. Throws std::out_of_range for an index outside the field's repetitions.
    void Set(records::Ref<LayoutEx> ref, std::string_view value, int i = 0, int j = 0, int k = 0);
    /// Sets a field back to zero bytes.
    void Clear(records::Ref<LayoutEx> ref, int i = 0, int j = 0, int k = 0);
    /// Copies elements first to last (0-based) of a field whose repetitions lie back to back
    /// from another record, bytes as they are. Throws std::out_of_range outside its repetitions.
    void CopyElements(const ExRecord& from, records::Ref<LayoutEx> ref, int first, int last);
    /// Blanks in every reserved field (the sale block, the reserved pedigree parts, ExReserved1),
    /// as the builder writes them.
    void BlankReservedFields();

    /// SpeedText element i (0 to 19), 7 bytes.
    std::string_view SpeedText(int i) const;
    void SetSpeedText(int i, std::string_view text);
    /// Label field of item k (1 to 30), full width: the run's CategoryLabel.
    std::string_view ItemLabel(int k) const;
    void SetItemLabel(int k, std::string_view label);
    /// CategoryIndex element k (0 to 30), 4 bytes.
    std::string_view CategoryIndex(int k) const;
    void SetCategoryIndex(int k, std::string_view text);

    /// ExFloats element i (0 to 112); throws std::out_of_range outside.
    float Float(int i) const;
    void SetFloat(int i, float value);
    float AgariFW(int k) const { return Float(ex_float::kAgariFW + Item(k)); }
    float PaceFW(int k) const { return Float(ex_float::kPaceFW + Item(k)); }
    float SohaFW(int k) const { return Float(ex_float::kSohaFW + Item(k)); }
    void SetAgariFW(int k, float v) { SetFloat(ex_float::kAgariFW + Item(k), v); }
    void SetPaceFW(int k, float v) { SetFloat(ex_float::kPaceFW + Item(k), v); }
    void SetSohaFW(int k, float v) { SetFloat(ex_float::kSohaFW + Item(k), v); }

private:
    explicit ExRecord(std::string&& bytes) : bytes_(std::move(bytes)) {}
    static int Item(int k);
    int OffsetOf(records::Ref<LayoutEx> ref, int i, int j, int k) const;
    std::string bytes_;
};

/// A horse's file of expanded runs: records of 2603 bytes numbered from 1. Reading never
/// creates the file; the count rounds down; file-system failures throw naming the path.
class ExRecordFile {
public:
    explicit ExRecordFile(std::filesystem::path path);
    /// The file of a horse: UMAGOTOEXTHISWEEKN/<KettoNum>EX.dat under AppFolder. Throws
    /// std::invalid_argument for a KettoNum that is not letters and digits.
    static ExRecordFile OfHorse(std::string_view kettoNum);

    const std::filesystem::path& Path() const { return file_.Path(); }
    std::int64_t Count() const { return file_.Count(); }
    /// Record n; throws std::out_of_range outside 1..Count().
    ExRecord Read(std::int64_t n) const;
    /// The whole records, in order, through the record check (kExKind, kLength): a damaged
    /// record is passed over and logged under `step`, and after a shifted one nothing is read.
    /// `passedOver`, when given, gets the records not read.
    std::vector<ExRecord> ReadAll(std::string_view step, std::int64_t* passedOver = nullptr) const;
    /// Writes record n (beyond the end extends the file).
    void Write(std::int64_t n, const ExRecord& record) const;
    /// Writes record Count() + 1 and returns its number.
    std::int64_t Append(const ExRecord& record) const;
    /// Makes the file exist with no records.
    void MakeEmpty() const;

private:
    common::RecordFile file_;
};

/// Folder of the files of expanded runs, under AppFolder.
inline constexpr std::string_view kExFolder = "UMAGOTOEXTHISWEEKN";

/// What a whole expanded record begins with: its first bytes are its run's, tag included.
inline constexpr std::string_view kExKind = "SE";

}  // namespace engine

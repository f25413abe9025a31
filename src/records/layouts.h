#pragma once

#include <array>
#include <string_view>

#include "records/layout.h"

// The data service's record kinds, field by field in record order. Widths count Shift-JIS bytes.
// Every 8-byte date is cut as Year, Month, Day; every record ends in a CrLf field of its own.
namespace records {

namespace table {

inline constexpr std::array kDate = {F("Year", 4), F("Month", 2), F("Day", 2)};

constexpr std::array<Item, 5> Date(std::string_view name) {
    return {G(name), kDate[0], kDate[1], kDate[2], End()};
}

inline constexpr std::array kHeader = Concat(
    std::array{F("RecordSpec", 2), F("DataKubun", 1)}, Date("MakeDate"));

inline constexpr std::array kRaceIdParts = {
    F("Year", 4), F("MonthDay", 4), F("JyoCD", 2), F("Kaiji", 2), F("Nichiji", 2), F("RaceNum", 2)};

inline constexpr std::array kRaceId = Concat(std::array{G("RaceId")}, kRaceIdParts, std::array{End()});

inline constexpr std::array kCrLf = {F("CrLf", 2)};

}  // namespace table

/// The head of every record: RecordSpec, DataKubun, MakeDate (11 bytes).
struct LayoutHeader {
    static constexpr std::string_view kName = "RecordHeader";
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::kHeader;
};

/// The race identifier that follows the head of race, runner, payout and odds records (16 bytes).
struct LayoutRaceId {
    static constexpr std::string_view kName = "RaceId";
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::kRaceIdParts;
};

/// The race record.
struct LayoutRA {
    static constexpr std::string_view kName = "RA";
    static constexpr bool kStored = false;
    static constexpr auto kItems = Concat(table::kHeader, table::kRaceId, std::array{
        F("YoubiCD", 1), F("TokuNum", 4), F("Hondai", 60), F("Fukudai", 60), F("Kakko", 60),
        F("HondaiEng", 120), F("FukudaiEng", 120), F("KakkoEng", 120), F("Ryakusyo10", 20),
        F("Ryakusyo6", 12), F("Ryakusyo3", 6), F("Kubun", 1), F("Nkai", 3), F("GradeCD", 1),
        F("GradeCDBefore", 1),
        G("JyokenInfo"), F("SyubetuCD", 2), F("KigoCD", 3), F("JyuryoCD", 1), F("JyokenCD", 3, 5),
        End(),
        F("JyokenName", 60), F("Kyori", 4), F("KyoriBefore", 4), F("TrackCD", 2),
        F("TrackCDBefore", 2), F("CourseKubunCD", 2), F("CourseKubunCDBefore", 2),
        F("Honsyokin", 8, 7), F("HonsyokinBefore", 8, 5), F("Fukasyokin", 8, 5),
        F("FukasyokinBefore", 8, 3), F("HassoTime", 4), F("HassoTimeBefore", 4),
        F("TorokuTosu", 2), F("SyussoTosu", 2), F("NyusenTosu", 2),
        G("TenkoBaba"), F("TenkoCD", 1), F("SibaBabaCD", 1), F("DirtBabaCD", 1), End(),
        F("LapTime", 3, 25), F("SyogaiMileTime", 4), F("HaronTimeS3", 3), F("HaronTimeS4", 3),
        F("HaronTimeL3", 3), F("HaronTimeL4", 3),
        G("CornerInfo", 4), F("Corner", 1), F("Syukaisu", 1), F("Jyuni", 70), End(),
        F("RecordUpKubun", 1)}, table::kCrLf);
};

/// The runner record: one horse in one race.
struct LayoutSE {
    static constexpr std::string_view kName = "SE";
    static constexpr bool kStored = false;
    static constexpr auto kItems = Concat(table::kHeader, table::kRaceId, std::array{
        F("Wakuban", 1), F("Umaban", 2), F("KettoNum", 10), F("Bamei", 36), F("UmaKigoCD", 2),
        F("SexCD", 1), F("HinsyuCD", 1), F("KeiroCD", 2), F("Barei", 2), F("TozaiCD", 1),
        F("ChokyosiCode", 5), F("ChokyosiRyakusyo", 8), F("BanusiCode", 6), F("BanusiName", 64),
        F("Fukusyoku", 60), F("Reserved1", 60), F("Futan", 3), F("FutanBefore", 3),
        F("Blinker", 1), F("Reserved2", 1), F("KisyuCode", 5), F("KisyuCodeBefore", 5),
        F("KisyuRyakusyo", 8), F("KisyuRyakusyoBefore", 8), F("MinaraiCD", 1),
        F("MinaraiCDBefore", 1), F("BaTaijyu", 3), F("ZogenFugo", 1), F("ZogenSa", 3),
        F("IJyoCD", 1), F("NyusenJyuni", 2), F("KakuteiJyuni", 2), F("DochakuKubun", 1),
        F("DochakuTosu", 1), F("Time", 4), F("ChakusaCD", 3), F("ChakusaCDP", 3),
        F("ChakusaCDPP", 3), F("Jyuni1c", 2), F("Jyuni2c", 2), F("Jyuni3c", 2), F("Jyuni4c", 2),
        F("Odds", 4), F("Ninki", 2), F("Honsyokin", 8), F("Fukasyokin", 8), F("Reserved3a", 3),
        F("Reserved3b", 3), F("HaronTimeL4", 3), F("HaronTimeL3", 3),
        G("ChakuUmaInfo", 3), F("KettoNum", 10), F("Bamei", 36), End(),
        F("TimeDiff", 4), F("RecordUpKubun", 1), F("DMKubun", 1), F("DMTime", 5), F("DMGosaP", 4),
        F("DMGosaM", 4), F("DMJyuni", 2), F("KyakusituKubun", 1)}, table::kCrLf);
};

/// The payout record.
struct LayoutHR {
    static constexpr std::string_view kName = "HR";
    static constexpr bool kStored = false;
    static constexpr auto kItems = Concat(table::kHeader, table::kRaceId, std::array{
        F("TorokuTosu", 2), F("SyussoTosu", 2), F("FuseirituFlag", 1, 9),
        F("TokubaraiFlag", 1, 9), F("HenkanFlag", 1, 9), F("HenkanUma", 1, 28),
        F("HenkanWaku", 1, 8), F("HenkanDoWaku", 1, 8),
        G("PayTansyo", 3), F("Umaban", 2), F("Pay", 9), F("Ninki", 2), End(),
        G("PayFukusyo", 5), F("Umaban", 2), F("Pay", 9), F("Ninki", 2), End(),
        G("PayWakuren", 3), F("Kumi", 2), F("Pay", 9), F("Ninki", 2), End(),
        G("PayUmaren", 3), F("Kumi", 4), F("Pay", 9), F("Ninki", 3), End(),
        G("PayWide", 7), F("Kumi", 4), F("Pay", 9), F("Ninki", 3), End(),
        G("PayReserved", 3), F("Kumi", 4), F("Pay", 9), F("Ninki", 3), End(),
        G("PayUmatan", 6), F("Kumi", 4), F("Pay", 9), F("Ninki", 3), End(),
        G("PaySanrenpuku", 3), F("Kumi", 6), F("Pay", 9), F("Ninki", 3), End(),
        G("PaySanrentan", 6), F("Kumi", 6), F("Pay", 9), F("Ninki", 4), End()}, table::kCrLf);
};

/// The horse record. The placings inside the by-surface, by-going and by-distance groups are six
/// counts each (1st to 5th and unplaced), named ChakuKaisu.
struct LayoutUM {
    static constexpr std::string_view kName = "UM";
    static constexpr bool kStored = false;
    static constexpr auto kItems = Concat(table::kHeader, std::array{
        F("KettoNum", 10), F("DelKubun", 1)},
        table::Date("RegDate"), table::Date("DelDate"), table::Date("BirthDate"), std::array{
        F("Bamei", 36), F("BameiKana", 36), F("BameiEng", 60), F("ZaikyuFlag", 1),
        F("Reserved", 19), F("UmaKigoCD", 2), F("SexCD", 1), F("HinsyuCD", 1), F("KeiroCD", 2),
        G("Ketto3Info", 14), F("HansyokuNum", 10), F("Bamei", 36), End(),
        F("TozaiCD", 1), F("ChokyosiCode", 5), F("ChokyosiRyakusyo", 8), F("SyotaiChiiki", 20),
        F("BreederCode", 8), F("BreederName", 72), F("SanchiName", 20), F("BanusiCode", 6),
        F("BanusiName", 64), F("Ruikei", 9, 6), F("ChakuSogo", 3, 6), F("ChakuChuo", 3, 6),
        G("ChakuKaisuBa", 7), F("ChakuKaisu", 3, 6), End(),
        G("ChakuKaisuJyotai", 12), F("ChakuKaisu", 3, 6), End(),
        G("ChakuKaisuKyori", 6), F("ChakuKaisu", 3, 6), End(),
        F("Kyakusitu", 3, 4), F("RaceCount", 3)}, table::kCrLf);
};

namespace table {

// The jockey record; only the four money fields of each statistics block differ between the
// received form (10 bytes) and the stored form (their left 9 bytes). The race identifiers of the
// first rides, first wins and latest graded wins are cut into their six parts.
inline constexpr auto kKS = Concat(kHeader, std::array{F("KisyuCode", 5), F("DelKubun", 1)},
    Date("IssueDate"), Date("DelDate"), Date("BirthDate"), std::array{
    F("KisyuName", 34), F("Reserved", 34), F("KisyuNameKana", 30), F("KisyuRyakusyo", 8),
    F("KisyuNameEng", 80), F("SexCD", 1), F("SikakuCD", 1), F("MinaraiCD", 1), F("TozaiCD", 1),
    F("SyotaiChiiki", 20), F("ChokyosiCode", 5), F("ChokyosiRyakusyo", 8),
    G("HatuKiJyo", 2)}, kRaceId, std::array{
        F("SyussoTosu", 2), F("KettoNum", 10), F("Bamei", 36), F("KakuteiJyuni", 2),
        F("IJyoCD", 1), End(),
    G("HatuSyori", 2)}, kRaceId, std::array{
        F("SyussoTosu", 2), F("KettoNum", 10), F("Bamei", 36), End(),
    G("SaikinJyusyo", 3)}, kRaceId, std::array{
        F("Hondai", 60), F("Ryakusyo10", 20), F("Ryakusyo6", 12), F("Ryakusyo3", 6),
        F("GradeCD", 1), F("SyussoTosu", 2), F("KettoNum", 10), F("Bamei", 36), End(),
    G("HonZenRuikei", 3), F("SetYear", 4), Narrowed("HonSyokinHeichi", 10, 9),
        Narrowed("HonSyokinSyogai", 10, 9), Narrowed("FukaSyokinHeichi", 10, 9),
        Narrowed("FukaSyokinSyogai", 10, 9), F("ChakuKaisuHeichi", 6, 6),
        F("ChakuKaisuSyogai", 6, 6),
        G("ChakuKaisuJyo", 20), F("ChakuKaisu", 6, 6), End(),
        G("ChakuKaisuKyori", 6), F("ChakuKaisu", 6, 6), End(),
    End()}, kCrLf);

}  // namespace table

/// The jockey record as received (4173 bytes).
struct LayoutKS {
    static constexpr std::string_view kName = "KS";
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::kKS;
};

/// The jockey record as stored in the week's files (4161 bytes).
struct LayoutKSStored {
    static constexpr std::string_view kName = "KS";
    static constexpr bool kStored = true;
    static constexpr auto kItems = table::kKS;
};

/// The win, place and bracket-quinella odds record.
struct LayoutO1 {
    static constexpr std::string_view kName = "O1";
    static constexpr bool kStored = false;
    static constexpr auto kItems = Concat(table::kHeader, table::kRaceId, std::array{
        G("HappyoTime"), F("Month", 2), F("Day", 2), F("Hour", 2), F("Minute", 2), End(),
        F("TorokuTosu", 2), F("SyussoTosu", 2), F("TansyoFlag", 1), F("FukusyoFlag", 1),
        F("WakurenFlag", 1), F("FukuChakuBaraiKey", 1),
        G("OddsTansyoInfo", 28), F("Umaban", 2), F("Odds", 4), F("Ninki", 2), End(),
        G("OddsFukusyoInfo", 28), F("Umaban", 2), F("OddsLow", 4), F("OddsHigh", 4),
        F("Ninki", 2), End(),
        G("OddsWakurenInfo", 36), F("Kumi", 2), F("Odds", 5), F("Ninki", 2), End(),
        F("TotalHyosuTansyo", 11), F("TotalHyosuFukusyo", 11), F("TotalHyosuWakuren", 11)},
        table::kCrLf);
};

namespace table {

// The combination-odds records share one layout; only the entry count and three widths differ.
constexpr auto OddsItems(std::string_view entries, int count, int kumi, int odds, int ninki) {
    return Concat(kHeader, kRaceId, std::array{
        G("HappyoTime"), F("Month", 2), F("Day", 2), F("Hour", 2), F("Minute", 2), End(),
        F("TorokuTosu", 2), F("SyussoTosu", 2), F("HatubaiFlag", 1),
        G(entries, count), F("Kumi", kumi), F("Odds", odds), F("Ninki", ninki), End(),
        F("TotalHyosu", 11)}, kCrLf);
}

}  // namespace table

/// Quinella odds: one entry per pair of 18 horses.
struct LayoutO2 {
    static constexpr std::string_view kName = "O2";
    static constexpr std::string_view kEntries = "OddsUmarenInfo";
    static constexpr int kEntryCount = 153;
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::OddsItems(kEntries, kEntryCount, 4, 6, 3);
};

/// Exacta odds: one entry per ordered pair.
struct LayoutO4 {
    static constexpr std::string_view kName = "O4";
    static constexpr std::string_view kEntries = "OddsUmatanInfo";
    static constexpr int kEntryCount = 306;
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::OddsItems(kEntries, kEntryCount, 4, 6, 3);
};

/// Trio odds: one entry per set of three horses.
struct LayoutO5 {
    static constexpr std::string_view kName = "O5";
    static constexpr std::string_view kEntries = "OddsSanrenInfo";
    static constexpr int kEntryCount = 816;
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::OddsItems(kEntries, kEntryCount, 6, 6, 3);
};

/// Trifecta odds: one entry per ordered triple.
struct LayoutO6 {
    static constexpr std::string_view kName = "O6";
    static constexpr std::string_view kEntries = "OddsSanrentanInfo";
    static constexpr int kEntryCount = 4896;
    static constexpr bool kStored = false;
    static constexpr auto kItems = table::OddsItems(kEntries, kEntryCount, 6, 7, 4);
};

// Every table adds up to its record length and cuts into the known number of fields.
static_assert(kLength<LayoutHeader> == 11);
static_assert(kLength<LayoutRaceId> == 16);
static_assert(kLength<LayoutRA> == 1272 && kFieldCount<LayoutRA> == 113);
static_assert(kLength<LayoutSE> == 555 && kFieldCount<LayoutSE> == 76);
static_assert(kLength<LayoutHR> == 719 && kFieldCount<LayoutHR> == 202);
static_assert(kLength<LayoutUM> == 1609 && kFieldCount<LayoutUM> == 236);
static_assert(kLength<LayoutKS> == 4173 && kFieldCount<LayoutKS> == 630);
static_assert(kLength<LayoutKSStored> == 4161 && kFieldCount<LayoutKSStored> == 630);
static_assert(kLength<LayoutO1> == 962 && kFieldCount<LayoutO1> == 329);
static_assert(kLength<LayoutO2> == 2042 && kFieldCount<LayoutO2> == 18 + 153 * 3 + 2);
static_assert(kLength<LayoutO4> == 4031 && kFieldCount<LayoutO4> == 18 + 306 * 3 + 2);
static_assert(kLength<LayoutO5> == 12293 && kFieldCount<LayoutO5> == 18 + 816 * 3 + 2);
static_assert(kLength<LayoutO6> == 83285 && kFieldCount<LayoutO6> == 14708);

}  // namespace records

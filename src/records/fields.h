#pragma once

#include "records/layouts.h"

// Named references to the fields that the steps read most, resolved when compiling. Any other
// field: records::Locate<Layout>("Dotted.Path") at the point of use (also compile-time checked).
namespace records {

// The head and the race identifier, for every layout that has them.
template <class L> inline constexpr Ref<L> kRecordSpec = Locate<L>("RecordSpec");
template <class L> inline constexpr Ref<L> kDataKubun = Locate<L>("DataKubun");
template <class L> inline constexpr Ref<L> kMakeDate = Locate<L>("MakeDate");  // 8 bytes
template <class L> inline constexpr Ref<L> kRaceId = Locate<L>("RaceId");      // 16 bytes
template <class L> inline constexpr Ref<L> kYear = Locate<L>("RaceId", "Year");
template <class L> inline constexpr Ref<L> kMonthDay = Locate<L>("RaceId", "MonthDay");
template <class L> inline constexpr Ref<L> kJyoCD = Locate<L>("RaceId", "JyoCD");
template <class L> inline constexpr Ref<L> kKaiji = Locate<L>("RaceId", "Kaiji");
template <class L> inline constexpr Ref<L> kNichiji = Locate<L>("RaceId", "Nichiji");
template <class L> inline constexpr Ref<L> kRaceNum = Locate<L>("RaceId", "RaceNum");

// Combination-odds entries of O2, O4, O5 and O6 (one index: the entry).
template <class L> inline constexpr Ref<L> kOddsEntry = Locate<L>(L::kEntries);
template <class L> inline constexpr Ref<L> kOddsKumi = Locate<L>(L::kEntries, "Kumi");
template <class L> inline constexpr Ref<L> kOddsOdds = Locate<L>(L::kEntries, "Odds");
template <class L> inline constexpr Ref<L> kOddsNinki = Locate<L>(L::kEntries, "Ninki");
template <class L> inline constexpr Ref<L> kTotalHyosu = Locate<L>("TotalHyosu");

namespace ra {
inline constexpr auto Hondai = Locate<LayoutRA>("Hondai");
inline constexpr auto Ryakusyo10 = Locate<LayoutRA>("Ryakusyo10");
inline constexpr auto GradeCD = Locate<LayoutRA>("GradeCD");
inline constexpr auto SyubetuCD = Locate<LayoutRA>("JyokenInfo.SyubetuCD");
inline constexpr auto JyokenCD = Locate<LayoutRA>("JyokenInfo.JyokenCD");  // × 5
inline constexpr auto Kyori = Locate<LayoutRA>("Kyori");
inline constexpr auto TrackCD = Locate<LayoutRA>("TrackCD");
inline constexpr auto HassoTime = Locate<LayoutRA>("HassoTime");
inline constexpr auto TorokuTosu = Locate<LayoutRA>("TorokuTosu");
inline constexpr auto SyussoTosu = Locate<LayoutRA>("SyussoTosu");
inline constexpr auto TenkoBaba = Locate<LayoutRA>("TenkoBaba");
inline constexpr auto TenkoCD = Locate<LayoutRA>("TenkoBaba.TenkoCD");
inline constexpr auto SibaBabaCD = Locate<LayoutRA>("TenkoBaba.SibaBabaCD");
inline constexpr auto DirtBabaCD = Locate<LayoutRA>("TenkoBaba.DirtBabaCD");
inline constexpr auto LapTime = Locate<LayoutRA>("LapTime");  // × 25
inline constexpr auto HaronTimeL3 = Locate<LayoutRA>("HaronTimeL3");
inline constexpr auto HaronTimeL4 = Locate<LayoutRA>("HaronTimeL4");
inline constexpr auto CrLf = Locate<LayoutRA>("CrLf");
}  // namespace ra

namespace se {
inline constexpr auto Wakuban = Locate<LayoutSE>("Wakuban");
inline constexpr auto Umaban = Locate<LayoutSE>("Umaban");
inline constexpr auto KettoNum = Locate<LayoutSE>("KettoNum");
inline constexpr auto Bamei = Locate<LayoutSE>("Bamei");
inline constexpr auto SexCD = Locate<LayoutSE>("SexCD");
inline constexpr auto Barei = Locate<LayoutSE>("Barei");
inline constexpr auto ChokyosiCode = Locate<LayoutSE>("ChokyosiCode");
inline constexpr auto Futan = Locate<LayoutSE>("Futan");
inline constexpr auto KisyuCode = Locate<LayoutSE>("KisyuCode");
inline constexpr auto KisyuRyakusyo = Locate<LayoutSE>("KisyuRyakusyo");
inline constexpr auto MinaraiCD = Locate<LayoutSE>("MinaraiCD");
inline constexpr auto BaTaijyu = Locate<LayoutSE>("BaTaijyu");
inline constexpr auto ZogenFugo = Locate<LayoutSE>("ZogenFugo");
inline constexpr auto ZogenSa = Locate<LayoutSE>("ZogenSa");
inline constexpr auto IJyoCD = Locate<LayoutSE>("IJyoCD");
inline constexpr auto NyusenJyuni = Locate<LayoutSE>("NyusenJyuni");
inline constexpr auto KakuteiJyuni = Locate<LayoutSE>("KakuteiJyuni");
inline constexpr auto Time = Locate<LayoutSE>("Time");
inline constexpr auto Odds = Locate<LayoutSE>("Odds");
inline constexpr auto Ninki = Locate<LayoutSE>("Ninki");
inline constexpr auto HaronTimeL3 = Locate<LayoutSE>("HaronTimeL3");
inline constexpr auto HaronTimeL4 = Locate<LayoutSE>("HaronTimeL4");
inline constexpr auto Jyuni4c = Locate<LayoutSE>("Jyuni4c");
inline constexpr auto TimeDiff = Locate<LayoutSE>("TimeDiff");
inline constexpr auto KyakusituKubun = Locate<LayoutSE>("KyakusituKubun");
inline constexpr auto CrLf = Locate<LayoutSE>("CrLf");
}  // namespace se

namespace hr {
inline constexpr auto TorokuTosu = Locate<LayoutHR>("TorokuTosu");
inline constexpr auto SyussoTosu = Locate<LayoutHR>("SyussoTosu");
inline constexpr auto PayTansyoUmaban = Locate<LayoutHR>("PayTansyo", "Umaban");  // × 3
inline constexpr auto PayTansyoPay = Locate<LayoutHR>("PayTansyo", "Pay");
inline constexpr auto PayFukusyoUmaban = Locate<LayoutHR>("PayFukusyo", "Umaban");  // × 5
inline constexpr auto PayFukusyoPay = Locate<LayoutHR>("PayFukusyo", "Pay");
inline constexpr auto PayWakurenKumi = Locate<LayoutHR>("PayWakuren", "Kumi");  // × 3
inline constexpr auto PayWakurenPay = Locate<LayoutHR>("PayWakuren", "Pay");
inline constexpr auto PayUmarenKumi = Locate<LayoutHR>("PayUmaren", "Kumi");  // × 3
inline constexpr auto PayUmarenPay = Locate<LayoutHR>("PayUmaren", "Pay");
inline constexpr auto PayWideKumi = Locate<LayoutHR>("PayWide", "Kumi");  // × 7
inline constexpr auto PayWidePay = Locate<LayoutHR>("PayWide", "Pay");
inline constexpr auto PayUmatanKumi = Locate<LayoutHR>("PayUmatan", "Kumi");  // × 6
inline constexpr auto PayUmatanPay = Locate<LayoutHR>("PayUmatan", "Pay");
inline constexpr auto PaySanrenpukuKumi = Locate<LayoutHR>("PaySanrenpuku", "Kumi");  // × 3
inline constexpr auto PaySanrenpukuPay = Locate<LayoutHR>("PaySanrenpuku", "Pay");
inline constexpr auto PaySanrentanKumi = Locate<LayoutHR>("PaySanrentan", "Kumi");  // × 6
inline constexpr auto PaySanrentanPay = Locate<LayoutHR>("PaySanrentan", "Pay");
}  // namespace hr

namespace um {
inline constexpr auto KettoNum = Locate<LayoutUM>("KettoNum");
inline constexpr auto DelKubun = Locate<LayoutUM>("DelKubun");
inline constexpr auto BirthDate = Locate<LayoutUM>("BirthDate");  // 8 bytes
inline constexpr auto Bamei = Locate<LayoutUM>("Bamei");
inline constexpr auto SexCD = Locate<LayoutUM>("SexCD");
inline constexpr auto KeiroCD = Locate<LayoutUM>("KeiroCD");
/// Pedigree entries: 0 sire, 1 dam, 2 sire's sire, 3 sire's dam, 4 dam's sire, 5 dam's dam, ...
inline constexpr auto Ketto3InfoHansyokuNum = Locate<LayoutUM>("Ketto3Info", "HansyokuNum");
inline constexpr auto Ketto3InfoBamei = Locate<LayoutUM>("Ketto3Info", "Bamei");
inline constexpr auto TozaiCD = Locate<LayoutUM>("TozaiCD");
inline constexpr auto ChokyosiCode = Locate<LayoutUM>("ChokyosiCode");
inline constexpr auto BreederCode = Locate<LayoutUM>("BreederCode");
inline constexpr auto Kyakusitu = Locate<LayoutUM>("Kyakusitu");  // × 4
inline constexpr auto RaceCount = Locate<LayoutUM>("RaceCount");
}  // namespace um

/// The jockey record as received.
namespace ks {
inline constexpr auto KisyuCode = Locate<LayoutKS>("KisyuCode");
inline constexpr auto HonZenRuikei = Locate<LayoutKS>("HonZenRuikei");  // × 3
inline constexpr auto HonSyokinHeichi = Locate<LayoutKS>("HonZenRuikei", "HonSyokinHeichi");
}  // namespace ks

/// The jockey record as stored.
namespace ks_stored {
inline constexpr auto KisyuCode = Locate<LayoutKSStored>("KisyuCode");
inline constexpr auto KisyuName = Locate<LayoutKSStored>("KisyuName");
inline constexpr auto KisyuRyakusyo = Locate<LayoutKSStored>("KisyuRyakusyo");
inline constexpr auto MinaraiCD = Locate<LayoutKSStored>("MinaraiCD");
inline constexpr auto TozaiCD = Locate<LayoutKSStored>("TozaiCD");
inline constexpr auto HonZenRuikei = Locate<LayoutKSStored>("HonZenRuikei");  // × 3
inline constexpr auto SetYear = Locate<LayoutKSStored>("HonZenRuikei", "SetYear");
inline constexpr auto HonSyokinHeichi = Locate<LayoutKSStored>("HonZenRuikei", "HonSyokinHeichi");
inline constexpr auto ChakuKaisuHeichi = Locate<LayoutKSStored>("HonZenRuikei", "ChakuKaisuHeichi");
}  // namespace ks_stored

namespace o1 {
inline constexpr auto TansyoUmaban = Locate<LayoutO1>("OddsTansyoInfo", "Umaban");  // × 28
inline constexpr auto TansyoOdds = Locate<LayoutO1>("OddsTansyoInfo", "Odds");
inline constexpr auto TansyoNinki = Locate<LayoutO1>("OddsTansyoInfo", "Ninki");
inline constexpr auto FukusyoUmaban = Locate<LayoutO1>("OddsFukusyoInfo", "Umaban");  // × 28
inline constexpr auto FukusyoOddsLow = Locate<LayoutO1>("OddsFukusyoInfo", "OddsLow");
inline constexpr auto FukusyoOddsHigh = Locate<LayoutO1>("OddsFukusyoInfo", "OddsHigh");
inline constexpr auto WakurenKumi = Locate<LayoutO1>("OddsWakurenInfo", "Kumi");  // × 36
inline constexpr auto WakurenOdds = Locate<LayoutO1>("OddsWakurenInfo", "Odds");
}  // namespace o1

}  // namespace records

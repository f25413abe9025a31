#pragma once

#include <functional>
#include <string_view>

#include "common/host.h"
#include "dataservice/jvlink.h"

// Breaking odds of race day: the current odds of each of the newest races, kept as lines of the
// breaking odds line files (O2RIALTIME.dat, O4RIALTIME.dat, O5RIALTIME.dat, O6RIALTIME.dat).
namespace acquisition {

inline constexpr std::string_view kBreakingOddsSid = "SA583920/SD271539/TALMOR7/ver.2020.3.2";
inline constexpr std::string_view kBreakingOddsDataSpec = "0B30";

/// Texts of the breaking-odds window's status box.
inline constexpr std::string_view kBreakingOddsStart = "速報オッズ取得を開始します。。。。。。";
inline constexpr std::string_view kBreakingOddsDone = "速報オッズ取得完了";

/// Texts of Ⅲ, the opening of the breaking-payouts window.
inline constexpr std::string_view kBreakingPayoutsStart = "速報払戻等取得を開始します。。。。。";
inline constexpr std::string_view kBreakingPayoutsDone = "速報払戻等取得及び処理完了";
inline constexpr std::string_view kBreakingPayoutsIncomplete =
    "速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。";
/// Ⅲ's end text: done, or done with failures passed over.
constexpr std::string_view BreakingPayoutsEndText(bool whole) {
    return whole ? kBreakingPayoutsDone : kBreakingPayoutsIncomplete;
}

/// Reads made for one race at most.
inline constexpr int kMaxBreakingReadsPerRace = 6;

/// For each race of the RecentRaceWindow of RATHISWEEKNNEW.dat, newest first: JVInit, a "0B30"
/// connection with the race's RaceId, at most six reads, JVClose. Every O2, O4, O5 and O6 record
/// read is appended as delivered to its breaking file, which the fetch emptied at its start;
/// other records are skipped. A race's reads stop at -1, at 0 and at any error code.
/// `setText1` writes the window's own status box; pending events run once after the start text.
/// JVInit failures are reported per race and the fetch goes on; file failures are logged. A race
/// file that is missing or holds no race is named in ERRORLOG.txt, and the end text says in
/// brackets that there was no input; damaged race records are passed over (RecentRaceWindow) and
/// the end text counts them.
void FetchBreakingOdds(dataservice::JVLink& link, common::Host& host,
                       const std::function<void(std::string_view)>& setText1);

}  // namespace acquisition

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/decoders.h"
#include "reports/report_lines.h"
#include "workbench/race_state.h"

// The lines of one race's block of the result report, each built on its own: a line that cannot
// be built is left out and noted, and the rest of the race follows.
namespace reports {

/// The "RC" race line from the race's own title row.
std::string RcLine(const workbench::RaceState& race);
/// The words of a caption line that differ between the reports: the four before the runner's
/// texts and the two that stand only in result mode (popularity, arrival).
struct RrWords {
    const char* head[4];
    const char* result[2];
};
/// The result report's: "n", "w", "馬", "予"; "人", "入".
inline constexpr RrWords kLupRrWords{{"n", "w", "馬", "予"}, {"人", "入"}};

/// The "RR" caption line of the mode; the last captions follow the flat-track test.
std::string RrLine(const workbench::RaceState& race, const RrWords& words = kLupRrWords);
/// A horse number with its predicted rank.
struct RankedHorse {
    int Rank = 0;
    int Horse = 0;
};
/// The horses 1 to RunnerCount in predicted order, by their YosoRank; a horse without a rank
/// in 1 to RunnerCount is left out.
std::vector<RankedHorse> HorsesByRank(const workbench::RaceState& race);
/// The "HS" runner lines in predicted order.
std::string HsLines(const workbench::RaceState& race);

/// The "Q1" to "Q4" predicted-order lines and, in result mode, "ATQ1" to "ATQ4".
std::string WriteYosoJunQ(const workbench::RaceState& race);

/// The trio at `place` of the value-ordered list in hyphen form (" 5- 3- 8").
std::optional<std::string> SanpukuKumi(const workbench::RaceState& race, int place);
/// Order 1 to 6 (A B C, A C B, B A C, B C A, C A B, C B A) of the trio at `place`, arrow form.
std::optional<std::string> SantanJun(const workbench::RaceState& race, int place, int order);
/// The six-character key of order 1 to 6 of a trio key A B C.
std::string SantanKey(std::string_view abc, int order);
/// SantanKey(abc, order) == kumi, without making the key (the hit checks try every order of
/// every trio).
bool IsSantanKey(std::string_view abc, int order, std::string_view kumi);
/// False when no order of the trio key A B C can be `kumi`: every order starts with one of the
/// trio's horses, and an entry that starts with none of them (most, for most trios) need not be
/// held against the six.
bool MayBeSantanKey(std::string_view abc, std::string_view kumi);
inline std::optional<std::string> SantanJun1(const workbench::RaceState& r, int k) { return SantanJun(r, k, 1); }
inline std::optional<std::string> SantanJun2(const workbench::RaceState& r, int k) { return SantanJun(r, k, 2); }
inline std::optional<std::string> SantanJun3(const workbench::RaceState& r, int k) { return SantanJun(r, k, 3); }
inline std::optional<std::string> SantanJun4(const workbench::RaceState& r, int k) { return SantanJun(r, k, 4); }
inline std::optional<std::string> SantanJun5(const workbench::RaceState& r, int k) { return SantanJun(r, k, 5); }
inline std::optional<std::string> SantanJun6(const workbench::RaceState& r, int k) { return SantanJun(r, k, 6); }

/// How many pair (trio) ticket lines the registered runner count asks for: 6, 12 or 18 (4, 7,
/// 14 or 21), compared as a two-character text.
int PairLineCount(std::string_view torokuTosu);
int TrioLineCount(std::string_view torokuTosu);

/// The MU lines, then the MS lines; places end at the race's last ticket.
std::string WriteKaimeMU(const workbench::RaceState& race, LineNotes& notes);
/// The PU lines, then the PS lines.
std::string WriteKaimePU(const workbench::RaceState& race, LineNotes& notes);

/// True when the payout record is the race's own (Year, MonthDay, JyoCD, RaceNum).
bool IsRacePayout(const workbench::RaceState& race, const records::StoredHR& hr);

/// The five "KK" lines and the two or three "KS" lines of a payout record.
std::string PayoutLines(const records::StoredHR& hr, LineNotes& notes);

}  // namespace reports

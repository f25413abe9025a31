#pragma once

#include <string>
#include <string_view>
#include <vector>

// The tickets of a race: every pair and every trio of its horse numbers, valued by the sum of
// their runners' ranking values and sorted best first. Keys are two-digit horse numbers without
// separators ("0307", "010203").
namespace workbench {

/// A pair or trio as it was made, in creation order (ascending horse numbers), with its value and
/// the sums of its runners' ranking speeds and corrections, for the race's ticket file.
struct CreatedTicket {
    std::string Key;
    float Value = 0;
    float SpeedSum = 0;
    float CorrectionSum = 0;
};

/// Lists are indexed by place 1 to their count, best value first (index 0 holds nothing).
struct RaceTickets {
    int UmarenKumiCount = 0;
    /// Each pair with the horse of the higher ranking value first (equal values: the lower number).
    std::vector<std::string> UmarenKumiList;
    /// The same pairs at the same places with ascending horse numbers.
    std::vector<std::string> UmarenKumiStr;
    std::vector<float> UmarenValue;
    /// Pairs in creation order (never sorted).
    std::vector<CreatedTicket> UmarenCreated;

    int SanrenKumiCount = 0;
    /// Each trio as A, B, C: best-ranked horse first, equal values in ascending order.
    std::vector<std::string> SanrenKumiList;
    /// The same trios at the same places with ascending horse numbers.
    std::vector<std::string> SanrenKumiStr;
    std::vector<float> SanrenValue;
    std::vector<CreatedTicket> SanrenCreated;
};

/// Makes the tickets of a race of n runners from the per-horse values (index = horse number
/// 1 to n; a blank runner has 0). A pair (h, j) is valued ((speed h + correction h) + speed j) +
/// correction j, a trio (speeds h + j + l) + (corrections h + j + l), in single precision; both
/// lists are sorted with the one quicksort, equal values falling as it leaves them. Fewer than
/// two (three) runners make no pairs (trios).
RaceTickets MakeTickets(const std::vector<float>& yosoSpeed, const std::vector<float>& correction,
                        const std::vector<float>& yosoValue, int n);

/// A trio key with ascending horse numbers reordered as A, B, C by three compare-and-exchange
/// steps on the ranking values (strict, so equal values keep their ascending order). A horse
/// number outside `yosoValue` counts as value 0.
std::string OrderSantanKumi(std::string_view trio, const std::vector<float>& yosoValue);

}  // namespace workbench

#include "records/odds.h"

#include <algorithm>

#include "common/numbers.h"

namespace records {

bool HasOdds(std::string_view oddsField) {
    if (oddsField.empty()) return false;
    const char first = oddsField.front();
    const bool uniform = std::all_of(oddsField.begin(), oddsField.end(), [&](char c) { return c == first; });
    return !(uniform && (first == '0' || first == '-' || first == '*' || first == ' '));
}

double OddsValue(std::string_view oddsField) {
    return HasOdds(oddsField) ? common::Val(oddsField) / 10.0 : 0.0;
}

int KumiNumber(std::string_view kumi, int position) {
    if (position < 0 || static_cast<std::size_t>(position) * 2 >= kumi.size()) return 0;
    return static_cast<int>(common::Val(kumi.substr(static_cast<std::size_t>(position) * 2, 2)));
}

}  // namespace records

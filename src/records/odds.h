#pragma once

#include <string_view>

// How the readers treat the fields of odds entries.
namespace records {

/// False for an odds field that carries no odds: empty, or made up wholly of "0", wholly of
/// "-", wholly of "*" or wholly of blanks.
bool HasOdds(std::string_view oddsField);

/// The odds of a field (its digits carry one implied decimal: "000123" is 12.3); 0 where the
/// field carries none.
double OddsValue(std::string_view oddsField);

/// Horse number `position` (0-based) of a combination: two digits each, read by position;
/// a blank or missing pair reads as 0.
int KumiNumber(std::string_view kumi, int position);

}  // namespace records

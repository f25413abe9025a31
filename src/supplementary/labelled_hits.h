#pragma once

#include <string>

#include "records/decoders.h"
#include "reports/report_lines.h"
#include "workbench/race_state.h"

// The hit lines of the labelled day report: the race's hits in words.
namespace supplementary {

/// The "AT" lines of a race whose payout record `hr` is its own: every ticket that matches a
/// payout entry takes the next hit number, and a hit within the tiers gets its line ("AT", the
/// number, the bet word, tier word and place with the ending, the combination as the record holds
/// it, the payout). A hit whose combination or payout holds no number is left out and noted; its
/// number stays used.
std::string HanteiTekichuTwi(const workbench::RaceState& race, const records::StoredHR& hr, reports::LineNotes& notes);

}  // namespace supplementary

#pragma once

#include "webexport/page_template.h"
#include "webexport/page_values.h"
#include "webexport/site_config.h"
#include "workbench/race_state.h"

// The values the page template's placeholders stand for, escaped and ready to stand in a page:
// the race page and the day print page fill the same rows with the same values.
namespace webexport {

/// The race's own values and the site's: every placeholder but a runner's row group and the
/// three fragments.
Placeholders RacePlaceholders(const workbench::RaceState& race, const PageValues& page, const SiteConfig& config);

/// The values of one runner's row group.
Placeholders RunnerPlaceholders(const RaceCardRow& row);

}  // namespace webexport

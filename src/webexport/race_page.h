#pragma once

#include <memory>
#include <string>

#include "common/code_table.h"
#include "webexport/page_values.h"
#include "webexport/site_config.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The web page of one race, tarnel_paddy_yosou/<yyyymmdd>_<romaji>_r<n>.txt.
namespace webexport {

/// The whole page of the race, composed in memory (UTF-8, CR LF).
std::string ComposeRacePage(const workbench::RaceState& race, const PageValues& page, const SiteConfig& config);

/// WriteRacePage of the weekly batch: writes each race's page once per run, whole or not at all.
class RacePageWriter final : public workbench::RaceWriter {
public:
    explicit RacePageWriter(std::shared_ptr<const SiteConfig> config);
    void WriteRace(workbench::RaceContext& context) override;

    /// The RaceKey12 of the race whose page this run wrote last.
    const std::string& LastRacePageKey() const { return lastRacePageKey_; }

private:
    std::shared_ptr<const SiteConfig> config_;
    std::string lastRacePageKey_;
};

}  // namespace webexport

#include "webexport/race_page.h"

#include <exception>
#include <stdexcept>

#include "common/record_file.h"
#include "webexport/page_placeholders.h"
#include "webexport/page_template.h"

namespace webexport {

std::string ComposeRacePage(const workbench::RaceState& race, const PageValues& page, const SiteConfig& config) {
    Placeholders values = RacePlaceholders(race, page, config);
    values.emplace_back("SideAdFragment", SideAdFragment(config));
    values.emplace_back("MainAdFragment", MainAdFragment(config));
    values.emplace_back("AnalyticsFragment", AnalyticsFragment(config));
    std::string out;
    out.reserve(16384);
    for (int row = 1; row < kRunnerRowFirst; ++row) AppendRow(out, row, values);
    for (const RaceCardRow& card : RaceCardRows(race)) {
        const Placeholders rowValues = RunnerPlaceholders(card);
        for (int row = kRunnerRowFirst; row <= kRunnerRowLast; ++row) AppendRow(out, row, rowValues);
    }
    for (int row = kRunnerRowLast + 1; row <= kTemplateRows; ++row) AppendRow(out, row, values);
    return out;
}

RacePageWriter::RacePageWriter(std::shared_ptr<const SiteConfig> config) : config_(std::move(config)) {
    if (!config_) config_ = std::make_shared<const SiteConfig>();
}

void RacePageWriter::WriteRace(workbench::RaceContext& context) {
    const workbench::RaceState& race = context.race;
    std::string path;
    try {
        const PageValues page = ComputePageValues(race, context.codes);
        if (race.RaceKey12 == lastRacePageKey_) return;
        lastRacePageKey_ = race.RaceKey12;
        path = RacePageFile(page);
        const std::string bytes = ComposeRacePage(race, page, *config_);
        common::WriteFileAtomically(WebFilePath(path), bytes);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(context.writer) + " " + race.RaceKey12 +
                                 (path.empty() ? std::string() : " " + path) + ": " + e.what());
    }
}

}  // namespace webexport

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

namespace {

/// The race's page made ahead: its values, then its file name and bytes, with the failure met at
/// either stage (a race whose values fail is not taken as the last one written).
struct RacePageDraft final : workbench::RaceDraft {
    std::exception_ptr valuesFailed;
    std::string path;
    std::string bytes;
    std::exception_ptr pageFailed;
};

}  // namespace

std::unique_ptr<workbench::RaceDraft> RacePageWriter::Draft(const workbench::RaceState& race,
                                                            const common::CodeTable& codes) const {
    auto draft = std::make_unique<RacePageDraft>();
    try {
        const PageValues page = ComputePageValues(race, codes);
        try {
            draft->path = RacePageFile(page);
            draft->bytes = ComposeRacePage(race, page, *config_);
        } catch (...) {
            draft->pageFailed = std::current_exception();
        }
    } catch (...) {
        draft->valuesFailed = std::current_exception();
    }
    return draft;
}

void RacePageWriter::WriteRace(workbench::RaceContext& context) {
    const workbench::RaceState& race = context.race;
    std::unique_ptr<workbench::RaceDraft> own;
    const auto& draft = workbench::DraftOf<RacePageDraft>(*this, context, own);
    std::string path;
    try {
        if (draft.valuesFailed) std::rethrow_exception(draft.valuesFailed);
        if (race.RaceKey12 == lastRacePageKey_) return;
        lastRacePageKey_ = race.RaceKey12;
        path = draft.path;
        if (draft.pageFailed) std::rethrow_exception(draft.pageFailed);
        common::WriteFileAtomically(WebFilePath(path), draft.bytes);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(context.writer) + " " + race.RaceKey12 +
                                 (path.empty() ? std::string() : " " + path) + ": " + e.what());
    }
}

}  // namespace webexport

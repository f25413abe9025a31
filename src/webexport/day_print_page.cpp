#include "webexport/day_print_page.h"

#include <initializer_list>
#include <utility>

#include "webexport/page_placeholders.h"

namespace webexport {
namespace {

// The print page's first navigation entry is not greyed: its class is "fS11" alone.
constexpr TemplateRow kPrintNaviFirst{
    9, "<li><a href=\"{SiteBase}/expectation\" class=\"fS11\" title=\"競馬予想\">競馬予想</a></li>", false};
constexpr int kPrintNaviFirstRow = 21;

void AppendRows(std::string& out, int first, int last, const Placeholders& values) {
    for (int row = first; row <= last; ++row) AppendRow(out, row, values);
}

}  // namespace

std::string ComposePrintHead(const Placeholders& raceValues) {
    std::string out;
    out.reserve(4096);
    // No keywords, description, title or icon.
    for (const int row : {1, 2, 3, 4, 8, 10, 11}) AppendRow(out, row, raceValues);
    AppendRows(out, 12, kPrintNaviFirstRow - 1, raceValues);
    AppendRowText(out, kPrintNaviFirst, raceValues);
    AppendRows(out, kPrintNaviFirstRow + 1, 49, raceValues);
    return out;
}

std::string ComposePrintSection(const workbench::RaceState& race, const Placeholders& raceValues) {
    if (!HasTopRankedRunner(race)) return {};
    std::string out;
    out.reserve(12288);
    AppendRows(out, 50, kRunnerRowFirst - 1, raceValues);
    for (const RaceCardRow& card : RaceCardRows(race))
        AppendRows(out, kRunnerRowFirst, kRunnerRowLast, RunnerPlaceholders(card));
    AppendRow(out, kRunnerRowLast + 1, raceValues);
    return out;
}

std::string ComposePrintFoot(const Placeholders& raceValues) {
    std::string out;
    // maincol closes; the container and the footer; no sub-navigation, advertising or analytics.
    AppendRow(out, 126, raceValues);
    AppendRows(out, 142, 150, raceValues);
    AppendRows(out, 152, 153, raceValues);
    return out;
}

DayPrintPageWriter::DayPrintPageWriter(std::shared_ptr<const SiteConfig> config) : config_(std::move(config)) {
    if (!config_) config_ = std::make_shared<const SiteConfig>();
}

void DayPrintPageWriter::WriteRace(workbench::RaceContext& context) {
    WriteDayFile(context, texts_, DayPrintFile, [&](const PageValues& page, const DayText* before) {
        const Placeholders values = RacePlaceholders(context.race, page, *config_);
        DayText added{before ? std::string() : ComposePrintHead(values), {}};
        added.Body += ComposePrintSection(context.race, values);
        added.Tail = ComposePrintFoot(values);
        return added;
    });
}

}  // namespace webexport

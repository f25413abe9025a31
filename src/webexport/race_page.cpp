#include "webexport/race_page.h"

#include <exception>
#include <stdexcept>

#include "common/encoding.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "webexport/html.h"
#include "webexport/page_template.h"
#include "workbench/race_info_table.h"

namespace webexport {
namespace {

constexpr std::string_view kTicketSeparator = "&nbsp;・&nbsp;";

std::string PairTickets(const PageValues& page) {
    std::string out;
    for (int i = 1; i <= 6; ++i) {
        if (i > 1) out += kTicketSeparator;
        out += page.PagePairHorse[i][0] + "-" + page.PagePairHorse[i][1];
    }
    return out;
}

std::string TrioTickets(const PageValues& page) {
    std::string out;
    for (int i = 1; i <= 7; ++i) {
        if (i > 1) out += kTicketSeparator;
        const auto& t = page.PageTrioHorse[i];
        out += t[0] + "-" + t[1] + "-" + t[2];
    }
    return out;
}

// The race's own values; a runner's are set per row group.
Placeholders PageHolders(const workbench::RaceState& race, const PageValues& page, const SiteConfig& config) {
    const std::string post = common::FromCp932(race.RaceInfo[workbench::info::kHassoTime]);
    const std::string contact = config.ContactAddress.empty()
                                    ? std::string()
                                    : "<a href=\"mailto:" + EscapeHtml(config.ContactAddress) + "\">お問い合わせ</a>┃";
    Placeholders v{
        {"SiteBase", EscapeHtml(config.SiteBase)},
        {"ContactLink", contact},
        {"FooterNotice", EscapeHtml(config.FooterNotice)},
        {"Year", page.Year},
        {"MonthDay", page.MonthDay},
        {"CourseName", EscapeHtml(page.CourseName)},
        {"CourseRomaji", EscapeHtml(page.CourseRomaji)},
        {"PageKaiji", page.PageKaiji},
        {"PageNichiji", page.PageNichiji},
        {"PageRaceNo", page.PageRaceNo},
        {"PageMonth", page.PageMonth},
        {"PageDay", page.PageDay},
        {"PageWeekday", page.PageWeekday},
        {"TrackText", EscapeHtml(common::FromCp932(race.RaceInfo[workbench::info::kTrack]))},
        {"DistanceText", EscapeHtml(common::FromCp932(race.RaceInfo[workbench::info::kKyori]))},
        {"PostHour", EscapeHtml(common::LeftChars(post, 2))},
        {"PostMinute", EscapeHtml(common::MidChars(post, 2, 2))},
        {"PairTickets", PairTickets(page)},
        {"TrioTickets", TrioTickets(page)},
        {"SideAdFragment", SideAdFragment(config)},
        {"MainAdFragment", MainAdFragment(config)},
        {"AnalyticsFragment", AnalyticsFragment(config)},
    };
    static constexpr std::string_view kNavNames[] = {"",              "RaceNavClass1",  "RaceNavClass2", "RaceNavClass3",
                                                     "RaceNavClass4", "RaceNavClass5",  "RaceNavClass6", "RaceNavClass7",
                                                     "RaceNavClass8", "RaceNavClass9",  "RaceNavClass10",
                                                     "RaceNavClass11", "RaceNavClass12"};
    for (int i = 1; i <= 12; ++i) v.emplace_back(kNavNames[i], std::string(page.RaceNavClass[i]));
    return v;
}

Placeholders RowHolders(const RaceCardRow& row) {
    return {
        {"GateClass", std::string(row.GateClass)},
        {"GateFont", row.GateFont ? "<font color=\"#ffffff\">" : ""},
        {"GateFontEnd", row.GateFont ? "</font>" : ""},
        {"GateText", EscapeHtml(row.GateText)},
        {"HorseNo", std::to_string(row.HorseNo)},
        {"RankText", EscapeHtml(row.RankText)},
        {"HorseName", EscapeHtml(row.HorseName)},
        {"Sex", EscapeHtml(row.Sex)},
        {"AgeText", EscapeHtml(row.AgeText)},
        {"Weight", EscapeHtml(row.Weight)},
        {"Jockey", EscapeHtml(row.Jockey)},
        {"Trainer", EscapeHtml(row.Trainer)},
    };
}

}  // namespace

std::string ComposeRacePage(const workbench::RaceState& race, const PageValues& page, const SiteConfig& config) {
    const Placeholders values = PageHolders(race, page, config);
    std::string out;
    out.reserve(16384);
    for (int row = 1; row < kRunnerRowFirst; ++row) AppendRow(out, row, values);
    for (const RaceCardRow& card : RaceCardRows(race)) {
        const Placeholders rowValues = RowHolders(card);
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
        // The folder is the program's own; a missing one is a failure, never made here.
        const auto target = common::AppPath(path);
        if (!std::filesystem::is_directory(target.parent_path()))
            throw std::runtime_error("the folder " + target.parent_path().string() + " is missing");
        common::WriteFileAtomically(target, bytes);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(context.writer) + " " + race.RaceKey12 +
                                 (path.empty() ? std::string() : " " + path) + ": " + e.what());
    }
}

}  // namespace webexport

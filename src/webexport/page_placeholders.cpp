#include "webexport/page_placeholders.h"

#include <string>
#include <string_view>

#include "webexport/html.h"

namespace webexport {

Placeholders RacePlaceholders(const workbench::RaceState& race, const PageValues& page, const SiteConfig& config) {
    const RaceTitleTexts title = RaceTitle(race);
    const std::string contact = config.ContactAddress.empty()
                                    ? std::string()
                                    : "<a href=\"mailto:" + EscapeHtml(config.ContactAddress) + "\">お問い合わせ</a>┃";
    constexpr std::string_view kSeparator = "&nbsp;・&nbsp;";
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
        {"TrackText", EscapeHtml(title.Track)},
        {"DistanceText", EscapeHtml(title.Distance)},
        {"PostHour", EscapeHtml(title.PostHour)},
        {"PostMinute", EscapeHtml(title.PostMinute)},
        {"PairTickets", JoinedPairTickets(page, kSeparator)},
        {"TrioTickets", JoinedTrioTickets(page, kSeparator)},
    };
    static constexpr std::string_view kNavNames[] = {"",              "RaceNavClass1",  "RaceNavClass2", "RaceNavClass3",
                                                     "RaceNavClass4", "RaceNavClass5",  "RaceNavClass6", "RaceNavClass7",
                                                     "RaceNavClass8", "RaceNavClass9",  "RaceNavClass10",
                                                     "RaceNavClass11", "RaceNavClass12"};
    for (int i = 1; i <= 12; ++i) v.emplace_back(kNavNames[i], std::string(page.RaceNavClass[i]));
    return v;
}

Placeholders RunnerPlaceholders(const RaceCardRow& row) {
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

}  // namespace webexport

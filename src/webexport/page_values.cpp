#include "webexport/page_values.h"

#include <chrono>
#include <stdexcept>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "webexport/html.h"

namespace webexport {
namespace {

constexpr std::string_view kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};

int NumberOf(std::string_view text, std::string_view what) {
    const auto value = common::DigitsValue(text);
    if (!value) throw std::runtime_error(std::string(what) + " is not a number: \"" + std::string(text) + "\"");
    return static_cast<int>(*value);
}

std::string WeekdayOf(std::string_view year, std::string_view monthDay) {
    const int y = NumberOf(year, "the year");
    const int m = NumberOf(monthDay.substr(0, 2), "the month");
    const int d = NumberOf(monthDay.substr(2, 2), "the day");
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok())
        throw std::runtime_error("the race date " + std::string(year) + std::string(monthDay) + " is not a date");
    const std::chrono::weekday weekday{std::chrono::sys_days(date)};
    return std::string(kWeekdays[weekday.c_encoding()]);
}

std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string HorseOfKey(std::string_view part) {
    if (part.find_first_not_of(' ') == std::string_view::npos) return {};
    return std::to_string(NumberOf(part, "a ticket's horse number"));
}

std::string_view GateClassOf(int gate) {
    static constexpr std::string_view kClasses[] = {"",       "bgwhite", "bgblack2", "bgred",   "bgblue",
                                                    "bgyellow", "bggreen", "bgorange", "bgpink"};
    return kClasses[gate];
}

}  // namespace

std::string WithoutLeadingZero(std::string_view text) {
    if (text.size() == 2 && text[0] == '0') return std::string(text.substr(1));
    return std::string(text);
}

PageValues ComputePageValues(const workbench::RaceState& race, const common::CodeTable& codes) {
    const std::string_view id = race.RaceId;
    if (id.size() != 16 || !common::IsDigits(id))
        throw std::runtime_error("the race id \"" + std::string(id) + "\" is not 16 digits");
    PageValues p;
    p.Year = id.substr(0, 4);
    p.MonthDay = id.substr(4, 4);
    p.JyoCD = id.substr(8, 2);
    p.Kaiji = id.substr(10, 2);
    p.Nichiji = id.substr(12, 2);
    p.RaceNum = id.substr(14, 2);

    p.PageMonth = WithoutLeadingZero(p.MonthDay.substr(0, 2));
    p.PageDay = WithoutLeadingZero(p.MonthDay.substr(2, 2));
    p.PageWeekday = WeekdayOf(p.Year, p.MonthDay);
    p.PageRaceNo = WithoutLeadingZero(p.RaceNum);
    p.PageNichiji = WithoutLeadingZero(p.Nichiji);
    p.PageKaiji = WithoutLeadingZero(p.Kaiji);

    p.CourseName = codes.LookupCode("2001", p.JyoCD, 4);
    p.CourseRomaji = Lowered(codes.LookupCode("2001", p.JyoCD, 6));
    // The romaji becomes part of three file names.
    if (!p.CourseRomaji.empty() && !common::IsSafeKey(p.CourseRomaji))
        throw std::runtime_error("the course's romaji \"" + p.CourseRomaji + "\" cannot stand in a file name");

    const int raceNo = NumberOf(p.RaceNum, "the race number");
    for (int i = 1; i <= 12; ++i) p.RaceNavClass[i] = i == raceNo ? "bgnabygreen" : "bgnabyblue";

    for (int i = 1; i <= 6; ++i) {
        const std::string& key = race.UmarenKumiList(i);
        if (key.size() != 4) continue;  // beyond the race's pairs
        p.PagePairHorse[i] = {WithoutLeadingZero(key.substr(0, 2)), WithoutLeadingZero(key.substr(2, 2))};
    }
    for (int i = 1; i <= 7; ++i) {
        const std::string& key = race.SanrenKumiList(i);
        if (key.size() != 6) continue;  // beyond the race's trios
        p.PageTrioHorse[i] = {HorseOfKey(key.substr(0, 2)), HorseOfKey(key.substr(2, 2)), HorseOfKey(key.substr(4, 2))};
    }
    return p;
}

std::vector<RaceCardRow> RaceCardRows(const workbench::RaceState& race) {
    std::vector<RaceCardRow> rows;
    rows.reserve(static_cast<std::size_t>(race.RunnerCount > 0 ? race.RunnerCount : 0));
    std::string_view gateClass;  // carried from row to row, empty at every race card
    for (int h = 1; h <= race.RunnerCount; ++h) {
        RaceCardRow row;
        row.HorseNo = h;
        row.GateText = common::FromCp932(race.WakuStr(h));
        if (row.GateText.size() >= 2 && row.GateText[1] == ' ') row.GateText.resize(1);
        const auto gate = common::DigitsValue(row.GateText);
        if (gate && *gate >= 1 && *gate <= 8) {
            gateClass = GateClassOf(static_cast<int>(*gate));
            row.GateFont = *gate == 2 || *gate == 3 || *gate == 4 || *gate == 6;
        }
        row.GateClass = gateClass;
        const std::string& rank = race.YosoRank(h);
        row.RankText = !rank.empty() && rank[0] == ' ' ? rank.substr(1, 1) : rank;
        row.HorseName = common::LeftChars(common::FromCp932(race.BameiStr(h)), 9);
        row.Sex = common::FromCp932(race.SexStr(h));
        row.AgeText = WithoutLeadingZero(common::FromCp932(race.BareiStr(h)));
        row.Weight = common::FromCp932(race.FutanStr(h));
        row.Jockey = common::LeftChars(common::FromCp932(race.KisyuStr(h)), 4);
        row.Trainer = common::LeftChars(common::FromCp932(race.ChokyosiStr(h)), 4);
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

// Tickets 1 to M - 1 of a page value list (index 0 unused), each of N horses.
template <std::size_t N, std::size_t M>
std::string JoinedTickets(const std::array<std::array<std::string, N>, M>& tickets, std::string_view separator) {
    std::string out;
    for (std::size_t i = 1; i < M; ++i) {
        if (i > 1) out += separator;
        for (std::size_t k = 0; k < N; ++k) {
            if (k > 0) out += '-';
            AppendEscaped(out, tickets[i][k]);
        }
    }
    return out;
}

}  // namespace

std::string JoinedPairTickets(const PageValues& page, std::string_view separator) {
    return JoinedTickets(page.PagePairHorse, separator);
}

std::string JoinedTrioTickets(const PageValues& page, std::string_view separator) {
    return JoinedTickets(page.PageTrioHorse, separator);
}

RaceTitleTexts RaceTitle(const workbench::RaceState& race) {
    RaceTitleTexts t;
    t.RaceNumber = WithoutLeadingZero(common::FromCp932(race.RaceInfo[workbench::info::kRaceNum]));
    t.Track = common::FromCp932(race.RaceInfo[workbench::info::kTrack]);
    t.Distance = common::FromCp932(race.RaceInfo[workbench::info::kKyori]);
    const std::string post = common::FromCp932(race.RaceInfo[workbench::info::kHassoTime]);
    t.PostHour = common::LeftChars(post, 2);
    t.PostMinute = common::MidChars(post, 2, 2);
    return t;
}

bool HasTopRankedRunner(const workbench::RaceState& race) {
    for (int h = 1; h <= race.RunnerCount; ++h)
        if (common::Val(race.YosoRank(h)) == 1) return true;
    return false;
}

std::string RacePageFile(const PageValues& page) {
    return "tarnel_paddy_yosou/" + page.Year + page.MonthDay + "_" + page.CourseRomaji + "_r" + page.PageRaceNo +
           ".txt";
}

std::string DayBlockFile(const PageValues& page) {
    return "tarnel_paddy_wp/" + page.Year + page.MonthDay + "-" + page.CourseRomaji + ".txt";
}

std::string DayPrintFile(const PageValues& page) {
    return "tarnel_paddy_wp/" + page.Year + page.MonthDay + "_" + page.CourseRomaji + "_pdf.txt";
}

std::filesystem::path WebFilePath(std::string_view relative) {
    std::filesystem::path path = common::AppPath(relative);
    if (!std::filesystem::is_directory(path.parent_path()))
        throw std::runtime_error("the folder " + path.parent_path().string() + " is missing");
    return path;
}

}  // namespace webexport

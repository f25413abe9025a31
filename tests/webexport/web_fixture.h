#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "common/encoding.h"
#include "workbench/race_state.h"

// Race states for the web writers' tests, set text by text (UTF-8 here, CP932 in the state as the
// batch holds it).
namespace webfixture {

/// One runner's texts; an empty gate and name make a horse number without a runner.
struct Runner {
    std::string waku, bamei, sex, barei, futan, kisyu, chokyosi;
};

/// A golden file of tests/data/webexport, byte for byte ("" when missing).
inline std::string Golden(std::string_view name) {
    std::ifstream in(std::filesystem::path(TALMOR_TEST_DATA) / "webexport" / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

/// A field of `width` bytes: the CP932 text followed by blanks.
inline std::string Field(std::string_view utf8, std::size_t width) {
    std::string bytes = common::ToCp932(utf8);
    if (bytes.size() < width) bytes.append(width - bytes.size(), ' ');
    return bytes;
}

/// A race of a 16-digit RaceId; runners 1 to n with their predicted places `rank[h - 1]`.
inline workbench::RaceState Race(std::string_view raceId, const std::vector<Runner>& runners,
                                 const std::vector<int>& rank) {
    workbench::RaceState race;
    race.RaceIdx = 1;
    race.RaceId = std::string(raceId);
    race.RaceKey12 = std::string(raceId.substr(0, 10)) + std::string(raceId.substr(14, 2));
    race.MeetingKey = std::string(raceId.substr(0, 14));
    race.RaceNum = std::string(raceId.substr(14, 2));
    race.RaceInfo[3] = race.RaceNum;
    const int n = static_cast<int>(runners.size());
    race.RunnerCount = n;
    race.Runners.assign(static_cast<std::size_t>(n), workbench::RaceHorseRecord{});
    workbench::RaceRanking r;
    r.RunnerCount = n;
    r.YosoSpeed = r.Correction = r.YosoValue = r.JitsuSpeed = std::vector<float>(n + 1, 0.0f);
    for (auto* list : {&r.WakuStr, &r.BameiStr, &r.FutanStr, &r.KisyuStr, &r.ChokyosiStr, &r.SexStr, &r.BareiStr,
                       &r.YosoTimeStr, &r.Yoso3FStr, &r.JitsuTimeStr, &r.Jitsu3FStr, &r.NyusenStr, &r.NinkiStr,
                       &r.ChakujunStr, &r.YosoJun, &r.YosoRank})
        list->assign(static_cast<std::size_t>(n) + 1, "");
    r.ShinraidoGrade.assign(static_cast<std::size_t>(n) + 1, {});
    for (int h = 1; h <= n; ++h) {
        const Runner& x = runners[static_cast<std::size_t>(h - 1)];
        const auto i = static_cast<std::size_t>(h);
        r.WakuStr[i] = common::ToCp932(x.waku);
        r.BameiStr[i] = x.bamei.empty() ? "" : Field(x.bamei, 36);
        r.SexStr[i] = common::ToCp932(x.sex);
        r.BareiStr[i] = common::ToCp932(x.barei);
        r.FutanStr[i] = common::ToCp932(x.futan);
        r.KisyuStr[i] = x.kisyu.empty() ? "" : Field(x.kisyu, 8);
        r.ChokyosiStr[i] = x.chokyosi.empty() ? "" : Field(x.chokyosi, 8);
        const int place = rank[i - 1];
        r.YosoRank[i] = (place < 10 ? " " : "") + std::to_string(place);
        r.YosoJun[static_cast<std::size_t>(place)] = (h < 10 ? "0" : "") + std::to_string(h);
    }
    race.SetRanking(std::move(r));
    return race;
}

/// Ticket lists best first (index 0 is added here).
inline void SetTickets(workbench::RaceState& race, std::vector<std::string> pairs, std::vector<std::string> trios) {
    workbench::RaceTickets t;
    t.UmarenKumiCount = static_cast<int>(pairs.size());
    t.SanrenKumiCount = static_cast<int>(trios.size());
    pairs.insert(pairs.begin(), "");
    trios.insert(trios.begin(), "");
    t.UmarenKumiList = t.UmarenKumiStr = pairs;
    t.SanrenKumiList = t.SanrenKumiStr = trios;
    race.SetTickets(std::move(t));
}

/// Title columns 2 (post time), 8 (track) and 9 (distance); column 3, the race number, is set
/// from the race id.
inline void SetTitle(workbench::RaceState& race, std::string_view post, std::string_view track,
                     std::string_view distance) {
    race.RaceInfo[2] = common::ToCp932(post);
    race.RaceInfo[8] = common::ToCp932(track);
    race.RaceInfo[9] = common::ToCp932(distance);
}

/// The code table of the hostile page: course 06 named 中山<&>, romaji "NakaYama".
inline common::CodeTable Codes() {
    return common::CodeTable::FromCp932(common::ToCp932("2001,06,x,x,中山<&>,x,NakaYama,x\r\n"));
}

/// The hostile race: 2024-01-06 (a Saturday), course 06, 5th meeting, 8th day, race 11 unless
/// another id is given. Horse 4 has no runner; horse 1's name is markup, its jockey holds "&";
/// horse 2 is aged 10.
inline workbench::RaceState HostileRace(std::string_view raceId = "2024010606050811") {
    workbench::RaceState race = Race(raceId,
                                     {
                                         {"1", "<b>&\"</script>", "牡", "03", "55.0", "A&B", "調教師名"},
                                         {"2", "アイウエオカキクケコ", "牝", "10", "54.0", "騎手太郎", "調教師名"},
                                         {"5", "ミホノブルボン", "セ", "05", "57.0", "武豊", "調教師名"},
                                         {"", "", "", "", "", "", ""},
                                         {"8", "タマモクロス", "牡", "04", "56.0", "騎手太郎", "調教師名"},
                                     },
                                     {2, 4, 1, 5, 3});
    SetTitle(race, "0950", "芝", "2000");
    SetTickets(race, {"0301", "0305", "0302", "0105", "0102", "0502", "0304"},
               {"030105", "030102", "030502", "010502", "030104", "030504", "010504", "020504"});
    return race;
}

/// Race 12 of 2024-01-07 at course 06 (5th meeting, 9th day) with three runners.
inline workbench::RaceState ThreeRunnerRace() {
    workbench::RaceState race = Race("2024010706050912",
                                     {
                                         {"1", "サクラ", "牡", "04", "56.0", "騎手一", "調教師一"},
                                         {"2", "ハナコ", "牝", "03", "54.0", "騎手二", "調教師二"},
                                         {"3", "タロウ", "牡", "05", "57.0", "騎手三", "調教師三"},
                                     },
                                     {2, 1, 3});
    SetTitle(race, "1625", "ダ", "1800");
    SetTickets(race, {"0201", "0203", "0103"}, {"020103"});
    return race;
}

/// Every setting filled (the base with a trailing slash, which is dropped).
inline constexpr std::string_view kFullSettings =
    "# site of the pages\r\n"
    "SiteBase=https://keiba.example.jp/\r\n"
    "ContactAddress=info@example.jp\r\n"
    "FooterNotice=Copyright (C) Tarnel & Paddy\r\n"
    "AdClientId=pub-1234\r\n"
    "AdSlotSide=111\r\n"
    "AdSlotMain=222\r\n"
    "AdScriptUrl=https://ads.example.net/show.js?v=1&x=2\r\n"
    "AnalyticsTrackerId=UA-42.1\r\n"
    "AnalyticsScriptUrl=//stats.example.org/track.js\r\n";

}  // namespace webfixture

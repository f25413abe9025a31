// Items 11 to 20, each a table of cases with the labels worked out by hand.
#include <gtest/gtest.h>

#include "item_fixtures.h"

namespace {

using namespace itemfix;
using engine::ExRecord;

std::string Sire(const std::string& key, const Fields& fields) {
    Fields all = fields;
    all.insert(all.begin(), {1, key});
    return StatsRecord(402, all);
}

TEST(ModelItems11to20, Bataiju) {
    ExpectCases(11, {
        {"415 kg: 51 -> 50", {{pos::BaTaijyu, "415"}}, "50  "},
        {"416 kg: 52", {{pos::BaTaijyu, "416"}}, "52  "},
        {"559 kg: 69", {{pos::BaTaijyu, "559"}}, "69  "},
        {"560 kg: 70", {{pos::BaTaijyu, "560"}}, "70  "},
        {"568 kg: 71 -> 70", {{pos::BaTaijyu, "568"}}, "70  "},
        {"no body weight", {{pos::BaTaijyu, "000"}}, "50  "},
        {"blank body weight", {{pos::BaTaijyu, "   "}}, "50  "},
        {"body weight not a number", {{pos::BaTaijyu, "4X0"}}, kFails},
    });
}

TEST(ModelItems11to20, Barei) {
    // Born on 1 January 2020 unless the case says otherwise; the day counts are those to the race date.
    const Fields born = {{pos::BirthDate, "20200101"}};
    auto on = [&](const char* ymd, Fields more = {}) {
        Fields f = born;
        f.push_back({pos::Year, std::string(ymd, 4)});
        f.push_back({pos::MonthDay, std::string(ymd + 4, 4)});
        f.insert(f.end(), more.begin(), more.end());
        return f;
    };
    const std::pair<int, std::string> gelding{pos::SexCD, "3"}, filly{pos::SexCD, "2"}, hurdle{pos::TrackCD, "54"};
    ExpectCases(12, {
        {"colt born 2021-04-10 on 2024-05-19: 1135 days, 38 months", {}, "138"},
        {"gelding of 30 months (900 days)", on("20220619", {gelding}), "334"},
        {"filly of 40 months (1200 days)", on("20230415", {filly}), "241"},
        {"colt of 100 months (3000 days) held at 90", on("20280319"), "159"},
        {"sex 3 at 33 months (990 days)", on("20220917", {gelding}), "334"},
        {"sex 3 at 34 months (1020 days)", on("20221017", {gelding}), "334"},
        {"sex 3 at 26 months (780 days) raised to 27", on("20220219", {gelding}), "334"},
        {"colt at 26 months raised to 27", on("20220219"), "127"},
        {"hurdler colt of 35 months counts 40", on("20221116", {hurdle}), "140"},
        {"hurdler filly of 35 months", on("20221116", {hurdle, filly}), "241"},
        {"hurdler gelding of 35 months", on("20221116", {hurdle, gelding}), "341"},
        {"colt of 42 months (1260 days)", on("20230614"), "142"},
        {"1334 days: 44 months -> 43", on("20230827"), "143"},
        {"1335 days: 44.5 rounds to 45 -> 44", on("20230828"), "144"},
        {"colt of 90 months (2700 days)", on("20270524"), "159"},
        {"a blank sex code counts as 3", on("20230415", {{pos::SexCD, " "}}), "341"},
        // Only the last four characters of days + 10000 count: -5 days read as 9995.
        {"born after the race", {{pos::BirthDate, "20240524"}}, "159"},
        {"birth date that does not exist", {{pos::BirthDate, "20210230"}}, kFails},
        {"blank birth date", {{pos::BirthDate, "        "}}, kFails},
        {"race date that does not exist", {{pos::MonthDay, "0230"}}, kFails},
    });
}

TEST(ModelItems11to20, FatherValueLog) {
    engine::ItemStatistics stats;
    stats.sires = engine::StatsTable<engine::SireDamStats>({
        Sire("1100000001", {{65, "000001000"}, {74, "000000100"}}),
        Sire("1100000002", {{65, "000000000"}, {74, "000000100"}}),
        Sire("1100000003", {{65, "-00001000"}}),
        Sire("0000000000", {{65, "000000035"}}),
        Sire("          ", {{65, "000000100"}}),
    });
    ExpectCases(13, {
        {"1000 on turf falls to 29", {}, "29    "},
        {"dirt 29 uses the turf and dirt value", {{pos::TrackCD, "29"}}, "29    "},
        {"hurdles use the other value", {{pos::TrackCD, "54"}}, "20    "},
        {"value 0", {{pos::Sire, "1100000002"}}, "00    "},
        {"no record", {{pos::Sire, "1199999999"}}, "00    "},
        {"a zero sire number is looked up too", {{pos::Sire, "0000000000"}}, "15    "},
        {"a blank sire number is looked up too", {{pos::Sire, "          "}}, "20    "},
        {"a negative value has no logarithm", {{pos::Sire, "1100000003"}}, kFails},
    }, stats);
}

TEST(ModelItems11to20, RaceKankaku) {
    struct RunAt {
        const char* ymd;
        const char* jyo = "05";
        const char* ijyo = "0";
    };
    struct RunsCase {
        const char* why;
        std::vector<RunAt> runs;  // oldest first; the last is the current run
        std::string label;
    };
    const std::vector<RunsCase> cases = {
        {"first run", {{"20240107"}}, "21020 "},
        {"second run 2 weeks later at the same course", {{"20240107"}, {"20240121"}}, "21020 "},
        {"second run 5 weeks later", {{"20240107"}, {"20240211"}}, "21050 "},
        {"3 days round to 0 weeks", {{"20240107"}, {"20240110"}}, "21020 "},
        {"4 days round to 1 week", {{"20240107"}, {"20240111"}}, "21010 "},
        {"10 days", {{"20240107"}, {"20240117"}}, "21010 "},
        {"17 days round to 2 weeks", {{"20240107"}, {"20240124"}}, "21020 "},
        {"18 days round to 3 weeks", {{"20240107"}, {"20240125"}}, "21030 "},
        {"26 weeks", {{"20240107"}, {"20240707"}}, "21260 "},
        {"27 weeks", {{"20240107"}, {"20240714"}}, "21270 "},
        {"51 weeks", {{"20240107"}, {"20241229"}}, "21270 "},
        {"52 weeks", {{"20240107"}, {"20250105"}}, "21520 "},
        {"78 weeks", {{"20240107"}, {"20250706"}}, "21520 "},
        {"79 weeks", {{"20240107"}, {"20250713"}}, "21780 "},
        {"same course as P, 5 weeks later",
         {{"20230101"}, {"20230201"}, {"20240107"}, {"20240211"}}, "11050 "},
        {"2 weeks after P at another course, P 30 weeks after run r-2",
         {{"20240107"}, {"20240107"}, {"20240804", "06"}, {"20240818"}}, "21300 "},
        {"1 week after P, P 5 weeks after r-2, r-2 30 weeks after r-3",
         {{"20240107"}, {"20240804"}, {"20240908", "06"}, {"20240915"}}, "21040 "},
        {"the same at the same course",
         {{"20240107"}, {"20240804"}, {"20240908"}, {"20240915"}}, "11340 "},
        {"r = 3: 3 weeks after a rest of 60 weeks", {{"20240107"}, {"20250302"}, {"20250323"}}, "21330 "},
        {"r = 3 reads run 2 though it is abnormal",
         {{"20240107"}, {"20240317", "05", "1"}, {"20240421"}}, "21050 "},
        {"1 week after P, P 5 weeks after r-2, r-2 60 weeks after r-3",
         {{"20240107"}, {"20250302"}, {"20250406"}, {"20250413"}}, "11350 "},
        {"a rest before P decides before the one before it",
         {{"20240107"}, {"20250302"}, {"20250928", "06"}, {"20251005"}}, "21280 "},
        // Run r-1 is abnormal, so P is run r-2: e from run r-2, d = 0, c before run r-2; the
        // course of run r-2 decides the flag.
        {"P is run r-2",
         {{"20240107"}, {"20240804", "06"}, {"20240811", "05", "1"}, {"20240818"}}, "21360 "},
        {"a date that does not exist", {{"20240230"}, {"20240804"}, {"20240811"}, {"20240818"}}, kFails},
    };
    for (const RunsCase& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<ExRecord> runs;
        for (const RunAt& run : c.runs)
            runs.push_back(MakeRun({{pos::Year, std::string(run.ymd, 4)},
                                    {pos::MonthDay, std::string(run.ymd + 4, 4)},
                                    {pos::JyoCD, run.jyo},
                                    {pos::IJyoCD, run.ijyo}}));
        ExpectLabel(14, runs, c.label);
    }
}

TEST(ModelItems11to20, ZensoOdds) {
    struct OddsCase {
        const char* why;
        std::vector<Fields> runs;
        std::string label;
    };
    const std::vector<OddsCase> cases = {
        {"first run", {{}}, "10    "},
        {"odds 3.5", {{{pos::Odds, "0035"}}, {{pos::Odds, "----"}}}, "15    "},
        {"odds 1.0 shares the no-odds label", {{{pos::Odds, "0010"}}, {}}, "10    "},
        {"odds 0000", {{{pos::Odds, "0000"}}, {}}, "10    "},
        {"blank odds", {{{pos::Odds, "    "}}, {}}, "10    "},
        {"odds 0.1", {{{pos::Odds, "0001"}}, {}}, "0     "},
        {"odds 999.9", {{{pos::Odds, "9999"}}, {}}, "39    "},
        {"P is run 1 when run 2 is abnormal",
         {{{pos::Odds, "0100"}}, {{pos::Odds, "0035"}, {pos::IJyoCD, "1"}}, {}}, "20    "},
        {"odds ---- have no logarithm", {{{pos::Odds, "----"}}, {}}, kFails},
    };
    for (const OddsCase& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<ExRecord> runs;
        for (const Fields& f : c.runs) runs.push_back(MakeRun(f));
        ExpectLabel(15, runs, c.label);
    }
}

TEST(ModelItems11to20, FatherBaba) {
    engine::ItemStatistics stats;
    stats.sires = engine::StatsTable<engine::SireDamStats>({
        Sire("1100000001", {{125, "  8000"}, {131, " 20000"}, {137, " 20000"}, {143, " 20000"},
                            {149, " 12000"}, {155, " 20000"}, {173, "400000"}}),
        Sire("1100000002", {{125, " 40000"}}),
    });
    const std::pair<int, std::string> dirt{pos::TrackCD, "24"};
    ExpectCases(16, {
        {"turf, good going", {}, "12  "},
        {"turf, going 0", {{pos::SibaBabaCD, "0"}}, "12  "},
        {"turf, going 2: not read", {{pos::SibaBabaCD, "2"}}, "10  "},
        {"turf, going 3", {{pos::SibaBabaCD, "3"}}, "10  "},
        {"turf, heavy going", {{pos::SibaBabaCD, "4"}}, "10  "},
        {"dirt reads the dirt going", {dirt, {pos::SibaBabaCD, "4"}, {pos::DirtBabaCD, "1"}}, "13  "},
        {"dirt, going 2", {dirt, {pos::DirtBabaCD, "2"}}, "10  "},
        {"hurdles: the other tracks' field, turf going, no limit",
         {{pos::TrackCD, "54"}, {pos::DirtBabaCD, "4"}}, "1100"},
        {"band 10 is not limited", {{pos::Sire, "1100000002"}}, "110 "},
        {"no record", {{pos::Sire, "1199999999"}}, "10  "},
    }, stats);
}

TEST(ModelItems11to20, MotherBaba) {
    engine::ItemStatistics stats;
    Fields rates;  // bands 1 to 12 in the twelve going fields 125 to 191
    for (int i = 0; i < 12; ++i) {
        std::string v = std::to_string(4000 * (i + 1));
        rates.push_back({125 + 6 * i, std::string(6 - v.size(), ' ') + v});
    }
    stats.dams = engine::StatsTable<engine::SireDamStats>({Sire("1200000001", rates)});
    // The sire table holds the dam's number, to show that item 17 reads the dams.
    stats.sires = engine::StatsTable<engine::SireDamStats>({Sire("1299999999", rates)});
    const std::pair<int, std::string> dirt{pos::TrackCD, "24"}, hurdle{pos::TrackCD, "54"};
    ExpectCases(17, {
        {"turf, going 1", {}, "11  "},
        {"turf, going 0", {{pos::SibaBabaCD, "0"}}, "11  "},
        {"turf, going 2", {{pos::SibaBabaCD, "2"}}, "12  "},
        {"turf, going 3", {{pos::SibaBabaCD, "3"}}, "13  "},
        {"turf, going 4", {{pos::SibaBabaCD, "4"}}, "14  "},
        {"turf, going 5", {{pos::SibaBabaCD, "5"}}, "10  "},
        {"turf, blank going", {{pos::SibaBabaCD, " "}}, "10  "},
        {"heavy dirt reads field 167", {dirt, {pos::DirtBabaCD, "4"}}, "18  "},
        {"dirt 23, good", {{pos::TrackCD, "23"}, {pos::DirtBabaCD, "1"}, {pos::SibaBabaCD, "4"}}, "15  "},
        {"dirt 25, going 3", {{pos::TrackCD, "25"}, {pos::DirtBabaCD, "3"}}, "17  "},
        {"hurdles, turf going 2", {hurdle, {pos::SibaBabaCD, "2"}}, "110 "},
        {"hurdles, turf going 4", {hurdle, {pos::SibaBabaCD, "4"}, {pos::DirtBabaCD, "1"}}, "112 "},
        {"dam not in the file", {{pos::Dam, "1299999999"}}, "10  "},
    }, stats);
}

TEST(ModelItems11to20, KishuNenrei) {
    auto born = [](const char* year, Fields more = {}) {
        Fields f = {{pos::KisyuBirthDate, std::string(year) + "0101"}};
        f.insert(f.end(), more.begin(), more.end());
        return f;
    };
    ExpectCases(18, {
        {"born 1990, turf, no allowance", born("1990"), "0330  "},
        {"hurdles use 0 for the apprentice code", born("1990", {{pos::TrackCD, "54"}, {pos::MinaraiCD, "1"}}), "0330  "},
        {"apprentice 3 aged 19 on dirt", born("2005", {{pos::TrackCD, "24"}, {pos::MinaraiCD, "3"}}), "0203  "},
        {"dirt 29 keeps the apprentice code", born("1990", {{pos::TrackCD, "29"}, {pos::MinaraiCD, "2"}}), "0332  "},
        {"jockey not in the jockey table", {{pos::KisyuBirthDate, "        "}}, "0230  "},
        {"age 20", born("2004"), "0200  "},
        {"age 21", born("2003"), "0230  "},
        {"age 25", born("1999"), "0230  "},
        {"age 26", born("1998"), "0280  "},
        {"age 30", born("1994"), "0280  "},
        {"age 31", born("1993"), "0330  "},
        {"age 35", born("1989"), "0330  "},
        {"age 36", born("1988"), "0380  "},
        {"age 40", born("1984"), "0380  "},
        {"age 41", born("1983"), "0430  "},
        {"age 104 reads as 04", born("1920"), "0200  "},
        {"unknown jockey: the race year is not read", {{pos::KisyuBirthDate, "        "}, {pos::Year, "20X4"}}, "0230  "},
        {"birth year not a number", {{pos::KisyuBirthDate, "19X00101"}}, kFails},
    });
}

TEST(ModelItems11to20, TrainerFukusho) {
    engine::ItemStatistics stats;
    stats.trainers = engine::StatsTable<engine::PersonStats>({
        StatsRecord(121, {{1, "01001"}, {30, "  8000"}, {36, " 40000"}, {42, " 52000"}}),
        StatsRecord(121, {{1, "01002"}, {30, "  3999"}, {36, " 39999"}, {42, "-04000"}}),
        StatsRecord(121, {{1, "00000"}, {30, " 20000"}}),
    });
    // The jockey table holds the trainer's code, to show that item 19 reads the trainers.
    stats.jockeys = engine::StatsTable<engine::PersonStats>({StatsRecord(121, {{1, "01009"}, {30, " 20000"}})});
    ExpectCases(19, {
        {"turf band 2", {}, "12   "},
        {"dirt band 10 gives 110", {{pos::TrackCD, "24"}}, "110  "},
        {"hurdles band 13 gives 110", {{pos::TrackCD, "54"}}, "110  "},
        {"band 0 keeps 10", {{pos::ChokyosiCode, "01002"}}, "10   "},
        {"band 9", {{pos::ChokyosiCode, "01002"}, {pos::TrackCD, "29"}}, "19   "},
        {"no record", {{pos::ChokyosiCode, "01009"}}, "10   "},
        {"code 00000 is not looked up", {{pos::ChokyosiCode, "00000"}}, "10   "},
        {"blank code", {{pos::ChokyosiCode, "     "}}, "10   "},
        {"a negative rate gives no band", {{pos::ChokyosiCode, "01002"}, {pos::TrackCD, "54"}}, kFails},
    }, stats);
}

TEST(ModelItems11to20, FatherArning) {
    engine::ItemStatistics stats;
    // Starts at 35 (turf and dirt) and 41 (other tracks), prize sums at 47 and 56.
    auto sire = [](const char* key, const char* count, const char* sum) {
        return Sire(key, {{35, count}, {47, sum}});
    };
    stats.sires = engine::StatsTable<engine::SireDamStats>({
        Sire("1100000001", {{35, "    10"}, {47, "000010000"}, {41, "     4"}, {56, "000000002"}}),
        sire("1100000002", "     0", "000010000"),
        sire("1100000003", "     5", "000000000"),
        sire("1100000004", "     1", "000000016"),
        sire("1100000005", "     1", "000100000"),
        sire("1100000006", "     1", "000040000"),
        sire("1100000007", "     1", "000060000"),
        sire("1100000008", "     1", "000000317"),
        sire("1100000009", "     1", "000000001"),
        sire("1100000010", "     1", "000000002"),
        sire("1100000011", "    -1", "000000100"),
    });
    auto of = [](const char* key, Fields more = {}) {
        Fields f = {{pos::Sire, key}};
        f.insert(f.end(), more.begin(), more.end());
        return f;
    };
    ExpectCases(20, {
        {"1000 per start falls to 29", of("1100000001"), "29        "},
        {"hurdles: 0.5 per start gives the band -4, kept", of("1100000001", {{pos::TrackCD, "54"}}), "-4        "},
        {"no starts", of("1100000002"), "0         "},
        {"starts but no prize money", of("1100000003"), "0         "},
        {"band 12 raised to 25", of("1100000004"), "25        "},
        {"band 50 held at 46", of("1100000005"), "46        "},
        {"band 46", of("1100000006"), "46        "},
        {"band 47 held at 46", of("1100000007"), "46        "},
        {"band 25", of("1100000008"), "25        "},
        {"band 0 stays 0", of("1100000009"), "0         "},
        {"band 3 raised to 25", of("1100000010"), "25        "},
        {"no record", of("1199999999"), "0         "},
        {"a negative quotient has no logarithm", of("1100000011"), kFails},
    }, stats);
}

}  // namespace

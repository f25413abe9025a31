// Items 1 to 10, each a table of cases with the labels worked out by hand.
#include <gtest/gtest.h>

#include "item_fixtures.h"

namespace {

using namespace itemfix;
using engine::ExRecord;

TEST(ModelItems1to10, YearMonth) {
    ExpectCases(1, {
        {"the base run", {}, "202405   "},
        {"May 2019", {{pos::Year, "2019"}, {pos::MonthDay, "0531"}}, "201905   "},
        // Item 1 reads nothing else: a run whose track breaks other items still gets it.
        {"blank track", {{pos::TrackCD, "  "}}, "202405   "},
    });
}

TEST(ModelItems1to10, CourseWaku) {
    ExpectCases(2, {
        {"straight track 10: horse number", {{pos::TrackCD, "10"}, {pos::Umaban, "03"}}, "50310      "},
        {"track 17 at 07 after the rebuilding",
         {{pos::JyoCD, "07"}, {pos::TrackCD, "17"}, {pos::Year, "2023"}, {pos::MonthDay, "0520"}}, "7417K      "},
        {"dirt 24: no track code", {{pos::JyoCD, "08"}, {pos::TrackCD, "24"}}, "84         "},
        {"hurdle 54: the track alone", {{pos::TrackCD, "54"}}, "54         "},
        {"track 11", {{pos::TrackCD, "11"}, {pos::Wakuban, "8"}}, "5811       "},
        {"track 12 at course 09", {{pos::JyoCD, "09"}, {pos::TrackCD, "12"}}, "9412       "},
        {"track 18 at course 01", {{pos::JyoCD, "01"}, {pos::TrackCD, "18"}}, "1418       "},
        {"track 21 gives 17", {{pos::JyoCD, "10"}, {pos::TrackCD, "21"}, {pos::Wakuban, "2"}}, "A217       "},
        {"track 22 gives 18", {{pos::TrackCD, "22"}}, "5418       "},
        {"track 29", {{pos::TrackCD, "29"}}, "54         "},
        {"track 15 is outside the table", {{pos::TrackCD, "15"}}, "15         "},
        {"course outside 01 to 10", {{pos::JyoCD, "30"}, {pos::TrackCD, "23"}}, "B4         "},
        {"07 on 20230421: no K", {{pos::JyoCD, "07"}, {pos::TrackCD, "24"}, {pos::Year, "2023"}, {pos::MonthDay, "0421"}},
         "74         "},
        {"07 on 20230422: K", {{pos::JyoCD, "07"}, {pos::TrackCD, "24"}, {pos::Year, "2023"}, {pos::MonthDay, "0422"}},
         "74K        "},
        {"K after a hurdle track too", {{pos::JyoCD, "07"}, {pos::TrackCD, "54"}}, "54K        "},
        {"blank track", {{pos::TrackCD, "  "}}, kFails},
        {"race date not a number", {{pos::MonthDay, "05 9"}}, kFails},
    });
}

TEST(ModelItems1to10, PrevDistanceClass) {
    struct RunsCase {
        const char* why;
        std::vector<Fields> runs;  // oldest first; the last is the current run
        std::string label;
    };
    const Fields turf1600 = {{pos::TrackCD, "17"}, {pos::Kyori, "1600"}, {pos::GradeCD, " "}};
    const std::vector<RunsCase> cases = {
        {"P on turf 1600, now turf 1800", {turf1600, {{pos::Kyori, "1800"}}}, " 12      "},
        {"P with data kind A at 1400, now dirt 24 at 1400",
         {{{pos::DataKubun, "A"}, {pos::Kyori, "1400"}, {pos::TrackCD, "24"}},
          {{pos::TrackCD, "24"}, {pos::Kyori, "1400"}}},
         " AD      "},
        {"P with data kind B", {{{pos::DataKubun, "B"}, {pos::Kyori, "1400"}}, {{pos::Kyori, "1200"}}}, " B1      "},
        {"first run on turf", {{{pos::JyokenCD5, "701"}}}, "70101    "},
        {"first run longer than 5000 m", {{{pos::Kyori, "5100"}, {pos::JyokenCD5, "999"}}}, "99902    "},
        // The stand-in distance of a first run is "5000": the same text must not give "D".
        {"first run at exactly 5000 m", {{{pos::Kyori, "5000"}, {pos::JyokenCD5, "999"}}}, "99901    "},
        {"hurdle 3000 after turf 2400",
         {{{pos::TrackCD, "17"}, {pos::Kyori, "2400"}}, {{pos::TrackCD, "54"}, {pos::Kyori, "3000"}}}, "12       "},
        {"same distance on dirt 25: no D",
         {turf1600, {{pos::TrackCD, "25"}, {pos::Kyori, "1600"}}}, "11       "},
        {"first run over hurdles", {{{pos::TrackCD, "54"}, {pos::Kyori, "3000"}}}, "01       "},
        {"P on dirt 23, grade C, same distance on dirt 24",
         {{{pos::TrackCD, "23"}, {pos::GradeCD, "C"}}, {{pos::TrackCD, "24"}}}, "C2D      "},
        {"P on track 25 is class 3", {{{pos::TrackCD, "25"}, {pos::Kyori, "1200"}}, {{pos::Kyori, "1400"}}},
         " 32      "},
        {"r = 2: run 1 is P though its IJyoCD is 1",
         {{{pos::IJyoCD, "1"}, {pos::GradeCD, "C"}, {pos::Kyori, "1600"}}, {{pos::TrackCD, "23"}}}, "C1D      "},
        {"r = 3: run 2 abnormal, P is run 1",
         {{{pos::TrackCD, "25"}, {pos::GradeCD, "B"}, {pos::Kyori, "1200"}},
          {{pos::IJyoCD, "1"}, {pos::GradeCD, "A"}, {pos::Kyori, "2000"}},
          {{pos::Kyori, "1400"}}},
         "B32      "},
        {"r = 3: run 2 normal is P",
         {{{pos::TrackCD, "25"}, {pos::GradeCD, "B"}, {pos::Kyori, "1200"}},
          {{pos::GradeCD, "A"}, {pos::Kyori, "2000"}},
          {{pos::Kyori, "1400"}}},
         "A11      "},
        {"r = 4: runs 3 and 2 abnormal, P is run 2 all the same",
         {{}, {{pos::IJyoCD, "2"}, {pos::GradeCD, "G"}, {pos::Kyori, "1000"}}, {{pos::IJyoCD, "1"}, {pos::GradeCD, "H"}},
          {{pos::Kyori, "1000"}}},
         "G1D      "},
    };
    for (const RunsCase& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<ExRecord> runs;
        for (const Fields& f : c.runs) runs.push_back(MakeRun(f));
        ExpectLabel(3, runs, c.label);
    }
}

TEST(ModelItems1to10, Futanjuryo) {
    ExpectCases(4, {
        {"55.0 kg counts as 56", {{pos::Futan, "550"}}, "56  "},
        {"55.9 kg counts as 56", {{pos::Futan, "559"}}, "56  "},
        {"54.0 kg", {{pos::Futan, "540"}}, "54  "},
        {"57.5 kg", {{pos::Futan, "575"}}, "57  "},
    });
}

TEST(ModelItems1to10, RuikeiHonshokin) {
    auto withPrizes = [](const std::vector<std::string>& prizes) {
        std::vector<ExRecord> runs;
        for (const std::string& p : prizes) runs.push_back(MakeRun({{pos::Honsyokin, p}}));
        runs.push_back(MakeRun({{pos::Honsyokin, "99999999"}}));  // the current run's own prize is not counted
        return runs;
    };
    struct PrizeCase {
        const char* why;
        std::vector<std::string> earlier;
        std::string label;
    };
    std::vector<std::string> thirtyBig(30, "99999999");
    const std::vector<PrizeCase> cases = {
        {"first run", {}, "00   "},
        {"nothing won", {"00000000", "00000000"}, "00   "},
        {"a sum of 1 gives band 0", {"00000001"}, "00   "},
        {"a sum of 2 gives band 3, one digit", {"00000002"}, "3    "},
        {"a sum of 35", {"00000030", "00000005"}, "15   "},
        {"exactly 1000 falls to 29", {"00000600", "00000400"}, "29   "},
        {"4000000 gives 66", {"04000000"}, "66   "},
        {"10000000 gives 70, held at 66", {"10000000"}, "66   "},
        {"past the 32-bit range", thirtyBig, "66   "},
        {"a blank prize of an earlier run", {"00001000", "        "}, kFails},
        {"a prize that is not a number", {"0000100X"}, kFails},
        {"a negative sum has no logarithm", {"-0000100"}, kFails},
    };
    for (const PrizeCase& c : cases) {
        SCOPED_TRACE(c.why);
        ExpectLabel(5, withPrizes(c.earlier), c.label);
    }
}

TEST(ModelItems1to10, Kyosokigo) {
    ExpectCases(6, {
        {"N2 on dirt 24 becomes N0", {{pos::TrackCD, "24"}, {pos::KigoCD, "N21"}}, "N0    "},
        {"N2 on dirt 23 becomes N0", {{pos::TrackCD, "23"}, {pos::KigoCD, "N23"}}, "N0    "},
        {"N2 on dirt 25 stays", {{pos::TrackCD, "25"}, {pos::KigoCD, "N21"}}, "N2    "},
        {"N2 on turf stays", {{pos::KigoCD, "N21"}}, "N2    "},
        {"first two characters", {{pos::KigoCD, "A01"}}, "A0    "},
    });
}

TEST(ModelItems1to10, KishuFukusho) {
    engine::ItemStatistics stats;
    // Turf at 30, dirt at 36, other tracks at 42.
    stats.jockeys = engine::StatsTable<engine::PersonStats>({
        StatsRecord(121, {{1, "01001"}, {30, "  8000"}, {36, " 40000"}, {42, "  3999"}}),
        StatsRecord(121, {{1, "01002"}, {30, " 48000"}, {36, " 36000"}, {42, " 39999"}}),
        StatsRecord(121, {{1, "01003"}, {30, "  4000"}, {36, "      "}, {42, "-04000"}}),
        StatsRecord(121, {{1, "01001"}, {30, " 20000"}}),  // a later record of a key is never read
        StatsRecord(121, {{1, "00000"}, {30, " 20000"}}),
        StatsRecord(121, {{1, "     "}, {30, " 20000"}}),
    });
    ExpectCases(7, {
        {"turf 17: band 2", {{pos::KisyuCode, "01001"}}, "12   "},
        {"turf 22 still turf", {{pos::KisyuCode, "01001"}, {pos::TrackCD, "22"}}, "12   "},
        {"dirt 23: band 10 held at 9", {{pos::KisyuCode, "01001"}, {pos::TrackCD, "23"}}, "19   "},
        {"dirt 29", {{pos::KisyuCode, "01002"}, {pos::TrackCD, "29"}}, "19   "},
        {"hurdle: band 0 gives 11", {{pos::KisyuCode, "01001"}, {pos::TrackCD, "54"}}, "11   "},
        {"hurdle: 39999 is band 9", {{pos::KisyuCode, "01002"}, {pos::TrackCD, "51"}}, "19   "},
        {"band 12 held at 9", {{pos::KisyuCode, "01002"}}, "19   "},
        {"band 1", {{pos::KisyuCode, "01003"}}, "11   "},
        {"blank rate field", {{pos::KisyuCode, "01003"}, {pos::TrackCD, "24"}}, "11   "},
        {"no record", {{pos::KisyuCode, "09999"}}, "11   "},
        {"code 00000 is not looked up", {{pos::KisyuCode, "00000"}}, "11   "},
        {"blank code is not looked up", {{pos::KisyuCode, "     "}}, "11   "},
        {"a negative rate gives no band", {{pos::KisyuCode, "01003"}, {pos::TrackCD, "54"}}, kFails},
    }, stats);
}

TEST(ModelItems1to10, KyosobaFukusho) {
    engine::ItemStatistics stats;
    stats.horses = engine::StatsTable<engine::HorseStats>({
        StatsRecord(228, {{1, "2021100001"}, {11, "123456"}}),
        StatsRecord(228, {{1, "2021100002"}, {11, "     0"}}),
        StatsRecord(228, {{1, "2021100003"}, {11, "100000"}}),
        StatsRecord(228, {{1, "2021100004"}, {11, "  9999"}}),
        StatsRecord(228, {{1, "0000000000"}, {11, " 50000"}}),
    });
    ExpectCases(8, {
        {"band 12, not limited", {{pos::KettoNum, "2021100001"}, {pos::TrackCD, "54"}}, "12  "},
        {"value 0 gives 0", {{pos::KettoNum, "2021100002"}}, "0   "},
        {"band 10 shares the no-data label", {{pos::KettoNum, "2021100003"}}, "10  "},
        {"just below 10000", {{pos::KettoNum, "2021100004"}}, "0   "},
        {"not in the file", {{pos::KettoNum, "2021199999"}}, "10  "},
        {"ten zeros are not looked up", {{pos::KettoNum, "0000000000"}}, "10  "},
        {"ten blanks", {{pos::KettoNum, "          "}}, "10  "},
    }, stats);
}

TEST(ModelItems1to10, RaceSuu) {
    struct CountCase {
        int r;
        std::string label;
    };
    for (const CountCase& c : std::vector<CountCase>{{1, "001"}, {2, "001"}, {3, "002"}, {10, "009"}, {50, "049"},
                                                     {51, "050"}, {60, "050"}}) {
        SCOPED_TRACE(c.r);
        ExpectLabel(9, std::vector<ExRecord>(static_cast<std::size_t>(c.r), MakeRun()), c.label);
    }
}

TEST(ModelItems1to10, FutanJuryoritu) {
    ExpectCases(10, {
        {"55.0 kg on a 470 kg colt: 104.76 -> 105 -> 104", {}, "104"},
        {"the same filly", {{pos::SexCD, "2"}}, "304"},
        {"the same gelding", {{pos::SexCD, "3"}}, "104"},
        {"a blank sex code counts as a filly", {{pos::SexCD, " "}}, "304"},
        {"no body weight, colt", {{pos::BaTaijyu, "000"}}, "100"},
        {"no body weight, filly", {{pos::BaTaijyu, "   "}, {pos::SexCD, "2"}}, "100"},
        {"no weight carried", {{pos::Futan, "000"}, {pos::SexCD, "2"}}, "100"},
        {"ratio exactly 100, filly", {{pos::Futan, "500"}, {pos::BaTaijyu, "450"}, {pos::SexCD, "2"}}, "100"},
        {"ratio exactly 100, colt", {{pos::Futan, "500"}, {pos::BaTaijyu, "450"}}, "100"},
        {"ratio 130 held at 114, colt", {{pos::Futan, "600"}, {pos::BaTaijyu, "400"}}, "114"},
        {"ratio 130 held at 114, filly", {{pos::Futan, "600"}, {pos::BaTaijyu, "400"}, {pos::SexCD, "2"}}, "314"},
        {"ratio 80 held at 96", {{pos::Futan, "480"}, {pos::BaTaijyu, "550"}}, "096"},
        {"ratio 80, filly", {{pos::Futan, "480"}, {pos::BaTaijyu, "550"}, {pos::SexCD, "2"}}, "296"},
        {"odd 113 rounds down to 112", {{pos::Futan, "580"}, {pos::BaTaijyu, "455"}}, "112"},
        {"weight carried not a number", {{pos::Futan, "55A"}}, kFails},
        {"body weight not a number", {{pos::BaTaijyu, "47X"}}, kFails},
    });
}

}  // namespace

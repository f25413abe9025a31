// Items 21 to 30, each a table of cases with the labels worked out by hand.
#include <gtest/gtest.h>

#include "item_fixtures.h"

namespace {

using namespace itemfix;
using engine::ExRecord;

TEST(ModelItems21to30, GradeJoken) {
    ExpectCases(21, {
        {"grade A, condition 999", {{pos::GradeCD, "A"}, {pos::JyokenCD5, "999"}}, "A999      "},
        {"blank grade", {}, " 703      "},
    });
}

TEST(ModelItems21to30, KyoriCourse) {
    const std::pair<int, std::string> hurdle{pos::TrackCD, "54"};
    ExpectCases(22, {
        {"course part A", {}, "1600A"},
        {"blank course part", {{pos::CourseKubunCD, "  "}}, "1600 "},
        {"dirt 29", {{pos::TrackCD, "29"}, {pos::Kyori, "1200"}, {pos::CourseKubunCD, "B "}}, "1200B"},
        {"hurdles 0 m", {hurdle, {pos::Kyori, "0000"}}, "2800 "},
        {"hurdles 2800 m", {hurdle, {pos::Kyori, "2800"}}, "2800 "},
        {"hurdles 2801 m", {hurdle, {pos::Kyori, "2801"}}, "2900 "},
        {"hurdles 2860 m", {hurdle, {pos::Kyori, "2860"}}, "2900 "},
        {"hurdles 2999 m", {hurdle, {pos::Kyori, "2999"}}, "2900 "},
        {"hurdles 3000 m", {hurdle, {pos::Kyori, "3000"}}, "3500 "},
        {"hurdles 3500 m", {hurdle, {pos::Kyori, "3500"}}, "3500 "},
        {"hurdles 3501 m", {hurdle, {pos::Kyori, "3501"}}, "4000 "},
        {"hurdles 3570 m", {hurdle, {pos::Kyori, "3570"}}, "4000 "},
        {"hurdles, blank distance", {hurdle, {pos::Kyori, "    "}}, kFails},
    });
}

TEST(ModelItems21to30, FatherKyoriFukusho) {
    engine::ItemStatistics stats;
    // Turf 197, 203, 209; dirt 215, 221, 227; other tracks 119.
    stats.sires = engine::StatsTable<engine::SireDamStats>({
        StatsRecord(402, {{1, "1100000001"}, {197, "140000"}, {203, "  3999"}, {209, " 40000"},
                          {215, " 60000"}, {221, "120000"}, {227, "124000"}, {119, " 12000"}}),
        StatsRecord(402, {{1, "1100000002"}, {197, " 20000"}, {203, " 36000"}, {209, "     0"}}),
    });
    const std::pair<int, std::string> dirt{pos::TrackCD, "24"}, hurdle{pos::TrackCD, "54"};
    auto at = [](const char* kyori, Fields more = {}) {
        Fields f = {{pos::Kyori, kyori}};
        f.insert(f.end(), more.begin(), more.end());
        return f;
    };
    const std::pair<int, std::string> sire2{pos::Sire, "1100000002"};
    ExpectCases(23, {
        {"band 35 on turf at 1200 stays", at("1200"), "135       "},
        {"1600 is still class 1", at("1600"), "135       "},
        {"1601: band 0 gives 10", at("1601"), "10        "},
        {"2000: band 0 gives 10", at("2000"), "10        "},
        {"2200 is still class 2", at("2200"), "10        "},
        {"2201: band 10 held at 39", at("2201"), "39        "},
        {"band 15 on dirt at 1200 held at 19", at("1200", {dirt}), "19        "},
        {"band 30 on dirt at 1800 held at 29", at("1800", {dirt}), "29        "},
        {"band 31 on dirt at 2400 stays", at("2400", {dirt}), "331       "},
        {"hurdles: one field for every distance", at("3000", {hurdle}), "13        "},
        {"hurdles do not read the distance", at("    ", {hurdle}), "13        "},
        {"band 5 in class 1", at("1400", {sire2}), "15        "},
        {"band 9 in class 2", at("1800", {sire2}), "29        "},
        {"band 0 in class 3", at("2400", {sire2}), "10        "},
        {"no record", at("1600", {{pos::Sire, "1199999999"}}), "10        "},
        {"no record: the distance is not read", at("    ", {{pos::Sire, "1199999999"}}), "10        "},
        {"a record and a blank distance on turf", at("    "), kFails},
    }, stats);
}

TEST(ModelItems21to30, UmabanBand) {
    ExpectCases(24, {
        {"turf horse 16", {{pos::Umaban, "16"}}, "161   "},
        {"dirt 23 horse 16", {{pos::TrackCD, "23"}, {pos::Umaban, "16"}}, "161   "},
        {"dirt 24 horse 16", {{pos::TrackCD, "24"}, {pos::Umaban, "16"}}, "161   "},
        {"dirt 25 horse 16", {{pos::TrackCD, "25"}, {pos::Umaban, "16"}}, "14    "},
        {"dirt 25 horse 5", {{pos::TrackCD, "25"}, {pos::Umaban, "05"}}, "05    "},
        {"dirt 25 horse 14", {{pos::TrackCD, "25"}, {pos::Umaban, "14"}}, "14    "},
        {"hurdles horse 15", {{pos::TrackCD, "54"}, {pos::Umaban, "15"}}, "14    "},
        {"hurdles horse 0", {{pos::TrackCD, "54"}, {pos::Umaban, "00"}}, "00    "},
        {"dirt 25, blank horse number", {{pos::TrackCD, "25"}, {pos::Umaban, "  "}}, kFails},
    });
}

TEST(ModelItems21to30, UmakigoTuki) {
    ExpectCases(25, {
        {"no symbol: born in April", {}, "041 "},
        {"no symbol: born in December", {{pos::BirthDate, "20211201"}}, "121 "},
        {"symbol 02", {{pos::UmaKigoCD, "02"}}, "02  "},
    });
}

TEST(ModelItems21to30, ZensoTimediff) {
    struct DiffCase {
        const char* diff;
        const char* arrival;
        std::string label;
    };
    const std::vector<DiffCase> cases = {
        {"0000", "01", "0099"}, {"    ", "01", "0099"}, {"+999", "01", "0099"}, {"-999", "01", "0099"},
        {"9999", "01", "0099"}, {"-000", "01", "0001"}, {"-001", "01", "0002"}, {"-002", "01", "0003"},
        {"-003", "01", "0004"}, {"-004", "01", "0004"}, {"-005", "01", "0005"}, {"-009", "01", "0005"},
        {"-010", "01", "0006"}, {"-998", "01", "0006"}, {"+000", "03", "0007"}, {"+000", "02", "+H  "},
        // "00" and k + 7 without zero-fill: the first two steps come out three characters long.
        {"+001", "04", "008 "}, {"+002", "04", "009 "}, {"+003", "04", "0010"}, {"+028", "04", "0035"},
        {"+029", "04", "0036"}, {"+030", "04", "0037"}, {"+045", "04", "0052"}, {"+050", "04", "0057"},
        {"+051", "04", "0099"}, {"+100", "04", "0099"},
    };
    for (const DiffCase& c : cases) {
        SCOPED_TRACE(c.diff);
        ExpectLabel(26,
                    {MakeRun({{pos::TimeDiff, c.diff}, {pos::NyusenJyuni, c.arrival}, {pos::ChakusaCD, "H  "}}),
                     MakeRun({{pos::TimeDiff, "-003"}})},
                    c.label);
    }
    {
        SCOPED_TRACE("first run");
        ExpectLabel(26, {MakeRun({{pos::TimeDiff, "-003"}})}, "0099");
    }
    {
        SCOPED_TRACE("r = 3 with run 2 abnormal: run 1 decides");
        ExpectLabel(26,
                    {MakeRun({{pos::TimeDiff, "-003"}}), MakeRun({{pos::TimeDiff, "+045"}, {pos::IJyoCD, "4"}}),
                     MakeRun()},
                    "0004");
    }
}

TEST(ModelItems21to30, KaijiNichiji) {
    ExpectCases(27, {
        {"meeting 3 day 4", {}, "0304    "},
        {"0310 on turf stays", {{pos::Nichiji, "10"}}, "0310    "},
        {"0310 on dirt 24 stays", {{pos::Nichiji, "10"}, {pos::TrackCD, "24"}}, "0310    "},
        {"0310 on dirt 25", {{pos::Nichiji, "10"}, {pos::TrackCD, "25"}}, "0101    "},
        {"0311 over hurdles", {{pos::Nichiji, "11"}, {pos::TrackCD, "54"}}, "0101    "},
        {"0312 on dirt 25 stays", {{pos::Nichiji, "12"}, {pos::TrackCD, "25"}}, "0312    "},
    });
}

TEST(ModelItems21to30, TosuBand) {
    const std::pair<int, std::string> hurdle{pos::TrackCD, "54"};
    ExpectCases(28, {
        {"6 runners", {{pos::TorokuTosu, "06"}}, "08    "},
        {"no runners", {{pos::TorokuTosu, "00"}}, "08    "},
        {"8 runners", {{pos::TorokuTosu, "08"}}, "08    "},
        {"9 runners", {{pos::TorokuTosu, "09"}}, "09    "},
        {"16 on turf", {{pos::TorokuTosu, "16"}}, "16    "},
        {"18 on dirt 29", {{pos::TorokuTosu, "18"}, {pos::TrackCD, "29"}}, "18    "},
        {"6 over hurdles", {{pos::TorokuTosu, "06"}, hurdle}, "08    "},
        {"9 over hurdles", {{pos::TorokuTosu, "09"}, hurdle}, "09    "},
        {"14 over hurdles", {{pos::TorokuTosu, "14"}, hurdle}, "14    "},
        {"15 over hurdles", {{pos::TorokuTosu, "15"}, hurdle}, "14    "},
        {"16 over hurdles", {{pos::TorokuTosu, "16"}, hurdle}, "14    "},
    });
}

TEST(ModelItems21to30, TenkoBabaJikoku) {
    ExpectCases(29, {
        {"fine, good, 12:15", {}, "1102  "},
        {"00:00", {{pos::HassoTime, "0000"}}, "1101  "},
        {"11:30", {{pos::HassoTime, "1130"}}, "1101  "},
        {"11:31", {{pos::HassoTime, "1131"}}, "1102  "},
        {"13:30", {{pos::HassoTime, "1330"}}, "1102  "},
        {"13:31", {{pos::HassoTime, "1331"}}, "1103  "},
        {"15:30", {{pos::HassoTime, "1530"}}, "1103  "},
        {"15:31", {{pos::HassoTime, "1531"}}, "1104  "},
        {"weather 6 counts as 4", {{pos::TenkoCD, "6"}}, "4102  "},
        {"weather 0 counts as 4", {{pos::TenkoCD, "0"}}, "4102  "},
        {"weather 4", {{pos::TenkoCD, "4"}}, "4102  "},
        {"weather 3", {{pos::TenkoCD, "3"}}, "3102  "},
        {"turf reads the turf going", {{pos::SibaBabaCD, "2"}, {pos::DirtBabaCD, "3"}}, "1202  "},
        {"dirt reads the dirt going", {{pos::TrackCD, "24"}, {pos::SibaBabaCD, "2"}, {pos::DirtBabaCD, "3"}}, "1302  "},
        {"hurdles read the turf going", {{pos::TrackCD, "54"}, {pos::SibaBabaCD, "2"}, {pos::DirtBabaCD, "3"}}, "1202  "},
        {"blank post time", {{pos::HassoTime, "    "}}, kFails},
    });
}

TEST(ModelItems21to30, KyosobaArning) {
    engine::ItemStatistics stats;
    // Starts at 23 (turf and dirt) and 29 (other tracks), prize sums at 35 and 44.
    auto horse = [](const char* key, const char* count, const char* sum) {
        return StatsRecord(228, {{1, key}, {23, count}, {35, sum}});
    };
    stats.horses = engine::StatsTable<engine::HorseStats>({
        StatsRecord(228, {{1, "2021100001"}, {23, "    10"}, {35, "000050000"}, {29, "     2"}, {44, "000000001"}}),
        horse("2021100002", "     0", "000050000"),
        horse("2021100003", "     3", "000000000"),
        horse("2021100004", "     1", "000000006"),
        horse("2021100005", "     1", "000000005"),
        horse("2021100006", "     1", "000000003"),
        horse("2021100007", "     1", "000130000"),
        horse("2021100008", "     1", "000100000"),
        horse("2021100009", "    -1", "000000100"),
        horse("2021100010", "     1", "000000001"),
        horse("          ", "     1", "000100000"),
    });
    struct HorseCase {
        const char* why;
        const char* ketto;
        int r;
        std::string label;
        const char* track = "17";
    };
    const std::vector<HorseCase> cases = {
        {"5000 per start: band 36", "2021100001", 1, "36  "},
        {"hurdles: 0.5 per start, band -4 reads 96, held at 50", "2021100001", 1, "50  ", "54"},
        {"no record", "2021199999", 1, "10  "},
        {"blank number is not looked up", "          ", 1, "10  "},
        {"no starts in the third run", "2021100002", 3, "5   "},
        {"no starts in the sixth run", "2021100002", 6, "6   "},
        {"no starts in the seventh run", "2021100002", 7, "7   "},
        {"no starts in the 19th run", "2021100002", 19, "19  "},
        {"no starts in the 25th run", "2021100002", 25, "19  "},
        {"no prize money in the second run", "2021100003", 2, "5   "},
        {"band 0 in the eighth run", "2021100010", 8, "8   "},
        {"band 7 keeps its zero", "2021100004", 1, "07  "},
        {"band 6", "2021100005", 1, "06  "},
        {"band 4 raised to 5", "2021100006", 1, "5   "},
        {"band 51 held at 50", "2021100007", 1, "50  "},
        {"band 50", "2021100008", 1, "50  "},
        {"a negative quotient has no logarithm", "2021100009", 1, kFails},
    };
    for (const HorseCase& c : cases) {
        SCOPED_TRACE(c.why);
        ExpectLabel(30,
                    std::vector<ExRecord>(static_cast<std::size_t>(c.r),
                                          MakeRun({{pos::KettoNum, c.ketto}, {pos::TrackCD, c.track}})),
                    c.label, stats);
    }
}

}  // namespace

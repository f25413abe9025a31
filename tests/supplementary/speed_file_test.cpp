#include "supplementary/speed_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <vector>

namespace {

using supplementary::SpeedEntry;

TEST(SokudoLine, RaceIdThenSpeedAndTwoDigitRankPerHorseNumber) {
    struct Case {
        const char* what;
        std::vector<SpeedEntry> entries;
        const char* line;
    };
    const Case cases[] = {
        {"one runner: three fields", {{60500, 1}}, "2026120506050101,60500,01\r\n"},
        {"a gap keeps the places of the others",
         {{61234, 1}, {0, 3}, {58000, 2}},
         "2026120506050101,61234,01,0,03,58000,02\r\n"},
        {"rank 10 and above as they are", {{57001, 10}, {1, 18}, {99999, 9}}, "2026120506050101,57001,10,1,18,99999,09\r\n"},
        {"no runners: no line", {}, ""},
        {"a speed beyond 32 bits", {{5000000000ULL, 1}}, "2026120506050101,5000000000,01\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(supplementary::SokudoLine("2026120506050101", c.entries), c.line) << c.what;
    }
}

TEST(SokudoLine, RanksOneToEighteen) {
    std::vector<SpeedEntry> entries;
    for (int h = 1; h <= 18; ++h) entries.push_back({static_cast<std::uint64_t>(h), 19 - h});
    EXPECT_EQ(supplementary::SokudoLine("2027010106010212", entries),
              "2027010106010212,1,18,2,17,3,16,4,15,5,14,6,13,7,12,8,11,9,10,10,09,11,08,12,07,13,06,14,05,15,04,"
              "16,03,17,02,18,01\r\n");
}

TEST(SokudoLine, ARaceIdThatIsNotSixteenDigitsFormsNoLine) {
    const std::vector<SpeedEntry> one{{60500, 1}};
    for (const char* id : {"", "20261205060501", "20261205060501011", "2026120506050A01", "2026120506050 01",
                           "2026/205060501,1"}) {
        EXPECT_THROW(supplementary::SokudoLine(id, one), std::invalid_argument) << id;
    }
}

TEST(SpeedOfValue, ProductInSinglePrecisionRoundedDown) {
    struct Case {
        float kmh;
        std::uint64_t speed;
    };
    const Case cases[] = {
        {60.5f, 60500},
        {61.2349f, 61234},  // product 61234.902: the fraction is dropped, not rounded
        {57.001f, 57001},   // in double the product is 57000.9995; single precision makes it 57001
        {0.0009f, 0},
        {0.0f, 0},
        {-0.0001f, 0},  // negative: no such field, written 0
        {-61.5f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 0},
        {1e30f, 0},  // no whole number of 64 bits holds it
        {1e7f, 10000000000ULL},  // large but whole: kept
    };
    for (const Case& c : cases) EXPECT_EQ(supplementary::SpeedOfValue(c.kmh), c.speed) << c.kmh;
}

}  // namespace

#include "engine/measured_speed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include "common/encoding.h"
#include "common/numbers.h"

namespace {

using engine::ExRecord;

// A run with the four fields the speeds read; nullptr leaves a field as the builder's zero bytes.
ExRecord MakeRun(const char* track, const char* kyori, const char* time, const char* last3) {
    ExRecord r;
    if (track) r.Set(engine::ex::TrackCD, track);
    if (kyori) r.Set(engine::ex::Kyori, kyori);
    if (time) r.Set(engine::ex::Time, time);
    if (last3) r.Set(engine::ex::HaronTimeL3, last3);
    return r;
}

struct SpeedCase {
    const char* what;
    const char* track;
    const char* kyori;
    const char* time;
    const char* last3;
    const char* agari;
    const char* pace;
    const char* soha;
};

const char* const kBlank7 = "       ";

TEST(MeasuredSpeeds, TableOfRuns) {
    const SpeedCase cases[] = {
        {"flat mile in 1:34.5, last 34.5", "24", "1600", "1345", "345", "6260869", "6000000", "6095238"},
        {"turf straight counts as flat", "10", "1600", "1345", "345", "6260869", "6000000", "6095238"},
        {"track 01 is flat", "01", "1600", "1345", "345", "6260869", "6000000", "6095238"},
        // Single precision decides the last digit: in double these give 6967741 and 8029739.
        {"agari rounds in float", "24", "1600", "1345", "310", "6967742", "5669291", "6095238"},
        {"pace rounds in float", "17", "1200", "1014", "345", "6260869", "8029740", "7035830"},
        {"hurdle: 200 m last section", "54", "3000", "3100", "140", "5142856", "5727272", "5684210"},
        {"hurdle code 50 has no section speeds", "50", "3000", "3100", "140", "0000000", "0000000", "5684210"},
        {"other track 30", "30", "1600", "1345", "345", "0000000", "0000000", "6095238"},
        {"no times at all", "24", "1600", "0000", "000", "0000000", "0000000", "0000000"},
        {"blank last section", "24", "1600", "1345", "   ", kBlank7, kBlank7, "6095238"},
        {"unset last section reads as blank", "24", "1600", "1345", nullptr, kBlank7, kBlank7, "6095238"},
        {"zero last section", "24", "1600", "1345", "000", "0000000", "0000000", "6095238"},
        {"2400 m in 2:24.5", "11", "2400", "2245", "352", "6136363", "5928636", "5979238"},
    };
    for (const auto& c : cases) {
        const ExRecord r = MakeRun(c.track, c.kyori, c.time, c.last3);
        EXPECT_EQ(engine::AgariSpeed(r), c.agari) << c.what;
        EXPECT_EQ(engine::PaceSpeed(r), c.pace) << c.what;
        EXPECT_EQ(engine::SohaSpeed(r), c.soha) << c.what;
    }
}

// Inputs where the plain formulas divide by zero, go negative or overflow the seven digits: the
// speed is 0 rather than a failure or a text that reads as another speed.
TEST(MeasuredSpeeds, SpeedsThatCannotBeStoredAreZero) {
    const SpeedCase cases[] = {
        // Would fail: the blank time cannot be read.
        {"blank time, last section given", "24", "1600", "    ", "345", "6260869", "0000000", "0000000"},
        // Would be (1000 / -345) x 36, stored as "8956521".
        {"time 0000, last section given", "24", "1600", "0000", "345", "6260869", "0000000", "0000000"},
        // Would divide by zero.
        {"time equal to last section", "24", "1600", "0345", "345", "6260869", "0000000", "0000000"},
        {"time below last section", "24", "1600", "0300", "345", "6260869", "0000000", "0000000"},
        // 21600 / 200 = 108 km/h would be stored as "0800000", 8 km/h.
        {"agari of 108 km/h", "24", "1600", "1345", "200", "0000000", "4832215", "6095238"},
        {"agari of exactly 100 km/h", "24", "1600", "1345", "216", "0000000", "4938271", "6095238"},
        {"agari just under 100 km/h", "24", "1600", "1345", "217", "9953916", "4945055", "6095238"},
        // 1200 / 39 x 36 = 1107.7 km/h would be stored as "0769230".
        {"soha over 100 km/h without a last section", "24", "1200", "0039", "   ", kBlank7, kBlank7, "0000000"},
        // A flat race shorter than the last section would give a negative pace.
        {"distance below 600 m", "24", "0400", "0300", "100", "0000000", "0000000", "4800000"},
    };
    for (const auto& c : cases) {
        const ExRecord r = MakeRun(c.track, c.kyori, c.time, c.last3);
        EXPECT_EQ(engine::AgariSpeed(r), c.agari) << c.what;
        EXPECT_EQ(engine::PaceSpeed(r), c.pace) << c.what;
        EXPECT_EQ(engine::SohaSpeed(r), c.soha) << c.what;
    }
}

TEST(MeasuredSpeeds, TextsThatAreNotNumbersFail) {
    EXPECT_THROW(engine::AgariSpeed(MakeRun("24", "1600", "1345", "3a5")), std::runtime_error);
    EXPECT_THROW(engine::PaceSpeed(MakeRun("24", "1600", "1a45", "345")), std::runtime_error);
    EXPECT_THROW(engine::SohaSpeed(MakeRun("24", "1600", "1a45", "345")), std::runtime_error);
    EXPECT_THROW(engine::PaceSpeed(MakeRun("24", "ABCD", "1345", "345")), std::runtime_error);
    EXPECT_THROW(engine::SohaSpeed(MakeRun("24", "    ", "1345", "345")), std::runtime_error);
    // The distance is read only where a speed needs it.
    EXPECT_EQ(engine::AgariSpeed(MakeRun("24", "ABCD", "1345", "345")), "6260869");
    EXPECT_EQ(engine::PaceSpeed(MakeRun("30", "ABCD", "1345", "345")), "0000000");
}

// The distance reads as the strict number of its text with zero bytes as blanks, whether the
// text is four digits or anything else; a text that is no number fails alike.
TEST(MeasuredSpeeds, DistanceReadsAsItsStrictNumber) {
    const std::string kTexts[] = {"1600", "0800", "0000", "9999", " 800", "800 ", "+800", "-800", "8e2 ", "1.5 ",
                                  std::string("\0" "800", 4), std::string("16\0\0", 4), std::string(4, '\0'),
                                  "    ", "16X0", "ABCD", "1 60"};
    for (const std::string& text : kTexts) {
        ExRecord r;
        r.Set(engine::ex::Kyori, text);
        std::optional<double> strict;
        try {
            strict = common::StrictNumberOf(common::BlankZeros(r.Get(engine::ex::Kyori)), "Kyori");
        } catch (const std::runtime_error&) {
        }
        if (strict) {
            EXPECT_EQ(engine::KyoriOf(r), static_cast<float>(*strict)) << '"' << text << '"';
        } else {
            EXPECT_THROW(engine::KyoriOf(r), std::runtime_error) << '"' << text << '"';
        }
    }
}

TEST(MeasuredSpeeds, StoredForm) {
    EXPECT_EQ(engine::SpeedText(0.0f), "0000000");
    EXPECT_EQ(engine::SpeedText(1.5f), "0150000");
    EXPECT_EQ(engine::SpeedText(62.608696f), "6260869");
    EXPECT_EQ(engine::SpeedText(99.99999f), "9999999");
    EXPECT_EQ(engine::SpeedText(1e-5f), "0000000");  // 0.99999997 hundred-thousandths, truncated
    EXPECT_EQ(engine::SpeedText(100.0f), "0000000");
    EXPECT_EQ(engine::SpeedText(150.0f), "0000000");
    EXPECT_EQ(engine::SpeedText(-0.5f), "0000000");
    EXPECT_EQ(engine::SpeedText(std::numeric_limits<float>::quiet_NaN()), "0000000");
    EXPECT_EQ(engine::SpeedText(std::numeric_limits<float>::infinity()), "0000000");
}

}  // namespace

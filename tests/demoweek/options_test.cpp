// The demoweek command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"

namespace {

struct Case {
    std::vector<std::string> args;
    bool ok;
    const char* error;  // part of the message when not ok
};

TEST(DemoWeekOptions, ReadsOrRefusesTheCommandLine) {
    const Case cases[] = {
        {{"/tmp/app"}, true, ""},
        {{}, false, "no application folder"},
        {{"/tmp/app", "--date", "20250608"}, false, "Saturday"},
        {{"/tmp/app", "--date", "20250231"}, false, "yyyymmdd"},
        {{"/tmp/app", "--runners", "12-8"}, false, "MIN-MAX"},
        {{"/tmp/app", "--runners", "8-19"}, false, "MIN-MAX"},
        {{"/tmp/app", "--history", "66"}, false, "0 to 65"},
        {{"/tmp/app", "--state", "during"}, false, "before or after"},
        {{"/tmp/app", "--races"}, false, "needs a value"},
        {{"/tmp/app", "/tmp/other"}, false, "one application folder"},
        {{"/tmp/app", "--colour", "red"}, false, "unknown option"},
        {{"/tmp/app", "--workers", "0"}, false, "1 to 64"},
        {{"/tmp/app", "--workers", "4x"}, false, "1 to 64"},
    };
    for (const Case& c : cases) {
        demoweek::Options options;
        bool help = false;
        std::string error;
        EXPECT_EQ(demoweek::ParseOptions(c.args, options, help, error), c.ok) << (c.args.empty() ? "" : c.args.back());
        if (!c.ok) {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
}

TEST(DemoWeekOptions, PresetsAndSettingsMakeTheScale) {
    demoweek::Options options;
    bool help = false;
    std::string error;
    ASSERT_TRUE(demoweek::ParseOptions({"app", "--races", "5", "--small", "--state", "after", "--seed", "42", "--date",
                                        "2024-11-30"},
                                       options, help, error))
        << error;
    EXPECT_EQ(options.scale.days, 2);
    EXPECT_EQ(options.scale.courses, 2);
    EXPECT_EQ(options.scale.racesPerDay, 5);  // a setting adjusts the preset, wherever it stands
    EXPECT_EQ(options.scale.maxRunners, 10);
    EXPECT_EQ(options.scale.history, 8);
    EXPECT_EQ(options.state, demoweek::WeekState::After);
    EXPECT_EQ(options.seed, 42u);
    EXPECT_EQ(options.saturday.Ymd(), "20241130");

    EXPECT_EQ(options.workers, 0);  // as many as the machine has
    EXPECT_FALSE(options.replaceSupplied);

    ASSERT_TRUE(demoweek::ParseOptions({"app", "--full", "--workers", "3", "--replace-supplied"}, options, help, error));
    EXPECT_EQ(options.workers, 3);
    EXPECT_TRUE(options.replaceSupplied);
    EXPECT_EQ(options.scale.days * options.scale.courses * options.scale.racesPerDay, 96);
    EXPECT_EQ(options.scale.minRunners, 18);
    EXPECT_EQ(options.scale.history, 65);
}

}  // namespace

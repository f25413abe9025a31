#include "workbench/tickets.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Keys = std::vector<std::string>;

/// Values of horses 1..n with no correction: speed = value.
workbench::RaceTickets TicketsOf(const std::vector<float>& values) {
    std::vector<float> v{0.0f};
    v.insert(v.end(), values.begin(), values.end());
    const std::vector<float> none(v.size(), 0.0f);
    return workbench::MakeTickets(v, none, v, static_cast<int>(values.size()));
}

TEST(Tickets, ThreeRunnersThroughEveryList) {
    const auto t = TicketsOf({60, 61, 62});
    EXPECT_EQ(t.UmarenKumiCount, 3);
    EXPECT_EQ(t.UmarenKumiStr, (Keys{"", "0203", "0103", "0102"}));
    EXPECT_EQ(t.UmarenKumiList, (Keys{"", "0302", "0301", "0201"}));
    EXPECT_EQ(t.UmarenValue, (std::vector<float>{0, 123, 122, 121}));
    EXPECT_EQ(t.SanrenKumiCount, 1);
    EXPECT_EQ(t.SanrenKumiStr, (Keys{"", "010203"}));
    EXPECT_EQ(t.SanrenKumiList, (Keys{"", "030201"}));
    // Creation order stays for the ticket file.
    ASSERT_EQ(t.UmarenCreated.size(), 3u);
    EXPECT_EQ(t.UmarenCreated[0].Key, "0102");
    EXPECT_EQ(t.UmarenCreated[2].Key, "0203");
    EXPECT_EQ(t.UmarenCreated[2].Value, 123.0f);
}

TEST(Tickets, EqualValuesKeepTheLowerNumberFirst) {
    // Horses 2 and 4 are valued alike: pair 0204 stays 0204, and every trio keeps them ascending.
    const auto t = TicketsOf({60.5f, 61.2f, 59.8f, 61.2f, 58.0f});
    EXPECT_EQ(t.UmarenKumiStr,
              (Keys{"", "0204", "0104", "0102", "0304", "0203", "0103", "0405", "0205", "0105", "0305"}));
    EXPECT_EQ(t.UmarenKumiList,
              (Keys{"", "0204", "0401", "0201", "0403", "0203", "0103", "0405", "0205", "0105", "0305"}));
    EXPECT_EQ(t.SanrenKumiList[1], "020401");
    EXPECT_EQ(workbench::OrderSantanKumi("020304", {0, 60.5f, 61.2f, 59.8f, 61.2f}), "020403");
    EXPECT_EQ(workbench::OrderSantanKumi("010203", {0, 5, 5, 5}), "010203");
    EXPECT_EQ(workbench::OrderSantanKumi("010203", {0, 1, 2, 3}), "030201");
    EXPECT_EQ(workbench::OrderSantanKumi("010203", {0, 2, 3, 1}), "020103");
}

TEST(Tickets, CountsOfSmallAndFullFields) {
    struct Case {
        int runners;
        int pairs;
        int trios;
    };
    for (const Case c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{2, 1, 0}, Case{3, 3, 1}, Case{4, 6, 4}, Case{18, 153, 816}}) {
        SCOPED_TRACE(c.runners);
        const auto t = TicketsOf(std::vector<float>(static_cast<std::size_t>(c.runners), 60.0f));
        EXPECT_EQ(t.UmarenKumiCount, c.pairs);
        EXPECT_EQ(t.SanrenKumiCount, c.trios);
        EXPECT_EQ(t.UmarenKumiList.size(), static_cast<std::size_t>(c.pairs) + 1);
        EXPECT_EQ(t.SanrenKumiStr.size(), static_cast<std::size_t>(c.trios) + 1);
    }
    const auto t = TicketsOf(std::vector<float>(18, 60.0f));
    EXPECT_EQ(t.UmarenCreated[16].Key, "0118");
    EXPECT_EQ(t.UmarenCreated[17].Key, "0203");
    EXPECT_EQ(t.SanrenCreated[15].Key, "010218");
    EXPECT_EQ(t.SanrenCreated[16].Key, "010304");
}

TEST(Tickets, ValuesAreAddedInTheirOwnOrder) {
    // Pair: ((speed 1 + correction 1) + speed 2) + correction 2 in single precision, which here
    // differs from the sum of the two ranking values and from speeds plus corrections.
    {
        const std::vector<float> speed{0, 57.3f, 64.5f};
        const std::vector<float> correction{0, 0.8f, -0.94f};
        const std::vector<float> value{0, speed[1] + correction[1], speed[2] + correction[2]};
        const auto t = workbench::MakeTickets(speed, correction, value, 2);
        EXPECT_EQ(t.UmarenValue[1], 121.65999603271484f);
        EXPECT_EQ(t.UmarenCreated[0].SpeedSum, 57.3f + 64.5f);
        EXPECT_EQ(t.UmarenCreated[0].CorrectionSum, 0.8f + -0.94f);
    }
    // Trio: (speeds) + (corrections), not the sum of the ranking values.
    {
        const std::vector<float> speed{0, 59.3f, 58.9f, 62.2f};
        const std::vector<float> correction{0, 0.99f, 0.9f, 0.09f};
        std::vector<float> value{0};
        for (int h = 1; h <= 3; ++h) value.push_back(speed[static_cast<std::size_t>(h)] + correction[static_cast<std::size_t>(h)]);
        const auto t = workbench::MakeTickets(speed, correction, value, 3);
        EXPECT_EQ(t.SanrenValue[1], 182.37998962402344f);
    }
}

TEST(Tickets, ABlankRunnerSortsLast) {
    const auto t = TicketsOf({60, 0, 62, 61});
    EXPECT_EQ(t.UmarenKumiStr[1], "0304");
    EXPECT_EQ(t.UmarenKumiStr[4], "0203");  // 62 + 0
    EXPECT_EQ(t.UmarenKumiStr[6], "0102");  // 60 + 0
    EXPECT_EQ(t.SanrenKumiStr, (Keys{"", "010304", "020304", "010203", "010204"}));
    EXPECT_EQ(t.SanrenKumiList[4], "040102");
}

}  // namespace

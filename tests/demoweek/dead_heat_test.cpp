#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "betting.h"
#include "generator.h"
#include "race_simulation.h"

namespace {

using namespace demoweek;

std::vector<int> Numbers(const std::vector<Payout>& payouts, std::size_t i) {
    return i < payouts.size() ? payouts[i].numbers : std::vector<int>{};
}

// A dead heat on first, second or third place, paid as the data service pays one: every
// combination that the tie makes a winner.
TEST(DeadHeat, EveryPlaceIsPaidForEveryOrderItMakes) {
    struct Case {
        int place;
        std::size_t win, placeBets, quinella, wide, exacta, trio, trifecta;
    };
    const std::vector<Case> cases = {
        {1, 2, 3, 1, 3, 2, 1, 2},
        {2, 1, 3, 2, 3, 2, 1, 2},
        {3, 1, 4, 1, 5, 1, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        const World world = BuildWorld(11, SmallScale(), DayOf(2025, 6, 7), c.place);
        ASSERT_GE(world.deadHeatRace, 0);
        const Race& race = world.races[static_cast<std::size_t>(world.deadHeatRace)];
        EXPECT_EQ(race.deadHeatPlace, c.place);
        std::vector<const Slot*> placed;
        for (const Slot& s : race.slots)
            if (s.finish > 0) placed.push_back(&s);
        // tied horses in the order they ran in
        std::sort(placed.begin(), placed.end(), [](const Slot* x, const Slot* y) {
            return x->finish != y->finish ? x->finish < y->finish : x->order < y->order;
        });
        ASSERT_GE(placed.size(), 4u);
        // The two horses share the place; the next horse comes two places later.
        const std::size_t p = static_cast<std::size_t>(c.place);
        EXPECT_EQ(placed[p - 1]->finish, c.place);
        EXPECT_EQ(placed[p]->finish, c.place);
        EXPECT_EQ(placed[p + 1]->finish, c.place + 2);
        EXPECT_TRUE(placed[p - 1]->deadHeat && placed[p]->deadHeat);
        EXPECT_EQ(placed[p - 1]->timeT, placed[p]->timeT);
        for (std::size_t i = 0; i < placed.size(); ++i) EXPECT_EQ(placed[i]->deadHeat, i + 1 == p || i == p) << i;

        const RacePayouts pay = PayoutsOf(race, MakeOddsBook(race, FinalChances(race)));
        EXPECT_EQ(pay.win.size(), c.win);
        EXPECT_EQ(pay.place.size(), c.placeBets);
        EXPECT_EQ(pay.quinella.size(), c.quinella);
        EXPECT_EQ(pay.wide.size(), c.wide);
        EXPECT_EQ(pay.exacta.size(), c.exacta);
        EXPECT_EQ(pay.trio.size(), c.trio);
        EXPECT_EQ(pay.trifecta.size(), c.trifecta);
        const int A = placed[0]->umaban, B = placed[1]->umaban, C = placed[2]->umaban, D = placed[3]->umaban;
        // The tie's two orders: first and second, second and third, or third and fourth swapped.
        const std::vector<std::vector<int>> second = {{B, A, C}, {A, C, B}, {A, B, D}};
        EXPECT_EQ(Numbers(pay.trifecta, 0), (std::vector<int>{A, B, C}));
        EXPECT_EQ(Numbers(pay.trifecta, 1), second[p - 1]);
        for (const Payout& q : pay.trifecta) EXPECT_GE(q.pay, 100);
    }
}

}  // namespace

#include "common/ordered_work.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Work finishes out of order (later items are quicker); what is taken up comes in list order,
// each item after its own work, on one or several threads alike.
TEST(ForEachInOrder, TakesUpEachResultInOrderAfterItsWork) {
    for (int threads : {1, 2, 5}) {
        SCOPED_TRACE(threads);
        const std::size_t count = 40;
        std::vector<int> results(count, -1);
        std::vector<std::size_t> taken;
        bool sawEveryResult = true;
        const auto caller = std::this_thread::get_id();
        bool takenOnCaller = true;
        common::ForEachInOrder(
            count, threads,
            [&](std::size_t i) {
                std::this_thread::sleep_for(std::chrono::microseconds((count - i) * 50));
                results[i] = static_cast<int>(i * i);
            },
            [&](std::size_t i) {
                sawEveryResult = sawEveryResult && results[i] == static_cast<int>(i * i);
                takenOnCaller = takenOnCaller && std::this_thread::get_id() == caller;
                taken.push_back(i);
            });
        ASSERT_EQ(taken.size(), count);
        for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(taken[i], i);
        EXPECT_TRUE(sawEveryResult);
        EXPECT_TRUE(takenOnCaller);
    }
}

// A failing item's failure comes out on the calling thread in its place: the items before it are
// taken up, no item after it.
TEST(ForEachInOrder, AFailureIsThrownInPlaceOfItsItem) {
    for (int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        std::vector<std::size_t> taken;
        EXPECT_THROW(common::ForEachInOrder(
                         100, threads,
                         [](std::size_t i) {
                             if (i == 7) throw std::runtime_error("item 7");
                         },
                         [&](std::size_t i) { taken.push_back(i); }),
                     std::runtime_error);
        EXPECT_EQ(taken, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
    }
    // Nothing to do: nothing runs.
    int calls = 0;
    common::ForEachInOrder(0, 4, [&](std::size_t) { ++calls; }, [&](std::size_t) { ++calls; });
    EXPECT_EQ(calls, 0);
}

}  // namespace

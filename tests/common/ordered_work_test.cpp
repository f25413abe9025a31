#include "common/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
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

// With a window, no work starts before the item a window back has been taken up, so that each
// result can wait in a slot of its own (i % window) without being written over: every take
// finds its own item's result in its slot, whatever the work's speed, on one thread or several.
TEST(ForEachInOrder, AWindowKeepsTheWorkWithinItsSlots) {
    for (int threads : {1, 2, 3, 8}) {
        for (std::size_t window : {std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, window " + std::to_string(window));
            const std::size_t count = 60;
            std::vector<std::size_t> slots(window, count);
            std::vector<std::atomic<bool>> takenUp(count);
            std::atomic<bool> startedTooEarly{false};
            std::vector<std::size_t> taken;
            bool foundOwnResult = true;
            common::ForEachInOrder(
                count, threads,
                [&](std::size_t i) {
                    if (i >= window && !takenUp[i - window]) startedTooEarly = true;
                    slots[i % window] = i;
                    std::this_thread::sleep_for(std::chrono::microseconds(i % 3 == 0 ? 300 : 10));
                },
                [&](std::size_t i) {
                    foundOwnResult = foundOwnResult && slots[i % window] == i;
                    if (i % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
                    taken.push_back(i);
                    takenUp[i] = true;
                },
                window);
            EXPECT_FALSE(startedTooEarly);
            EXPECT_TRUE(foundOwnResult);
            ASSERT_EQ(taken.size(), count);
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(taken[i], i);
        }
    }
    // A failure in a window stops the work behind it too.
    std::vector<std::size_t> taken;
    EXPECT_THROW(common::ForEachInOrder(
                     100, 2,
                     [](std::size_t i) {
                         if (i == 5) throw std::runtime_error("item 5");
                     },
                     [&](std::size_t i) { taken.push_back(i); }, 2),
                 std::runtime_error);
    EXPECT_EQ(taken, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
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

// Kept threads go through list after list, windowed or not, of any length, a failing one among
// them: each list is taken up in order and whole, and the work of them all runs on the same few
// threads, not on threads started afresh for each list.
TEST(OrderedWorkers, RunListAfterListOnTheSameThreads) {
    const int threads = 3;
    common::OrderedWorkers workers(threads);
    std::mutex lock;
    std::set<std::thread::id> workedOn;
    const std::size_t unwindowed = std::numeric_limits<std::size_t>::max();
    struct Case {
        std::size_t count;
        std::size_t window;
        std::size_t failing;  // count for none
    };
    const std::vector<Case> cases = {{50, 4, 50}, {0, 4, 0},  {1, 4, 1},  {30, unwindowed, 30}, {40, 2, 40},
                                     {60, 6, 17}, {25, 6, 25}, {20, unwindowed, 3}, {45, 3, 45}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " items, failing " + std::to_string(c.failing));
        std::vector<int> results(c.count, -1);
        std::vector<std::size_t> taken;
        bool sawEveryResult = true;
        const auto run = [&] {
            workers.ForEachInOrder(
                c.count,
                [&](std::size_t i) {
                    {
                        const std::lock_guard<std::mutex> hold(lock);
                        workedOn.insert(std::this_thread::get_id());
                    }
                    if (i == c.failing) throw std::runtime_error("failing item");
                    std::this_thread::sleep_for(std::chrono::microseconds(i % 5 == 0 ? 200 : 20));
                    results[i] = static_cast<int>(i + 1);
                },
                [&](std::size_t i) {
                    sawEveryResult = sawEveryResult && results[i] == static_cast<int>(i + 1);
                    taken.push_back(i);
                },
                c.window);
        };
        if (c.failing < c.count) EXPECT_THROW(run(), std::runtime_error);
        else run();
        EXPECT_TRUE(sawEveryResult);
        ASSERT_EQ(taken.size(), std::min(c.count, c.failing));
        for (std::size_t i = 0; i < taken.size(); ++i) EXPECT_EQ(taken[i], i);
    }
    // The calling thread and the kept ones.
    EXPECT_LE(workedOn.size(), static_cast<std::size_t>(threads) + 1);
}

}  // namespace

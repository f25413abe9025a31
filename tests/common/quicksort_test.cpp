#include "common/quicksort.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Arrays are used from index 1, as the callers use them; index 0 holds a sentinel that no sort
// of 1..n may touch.
TEST(QuickSortDescending, OrdersEqualValuesByItsOwnSteps) {
    // Keys A, B, C ... stand beside the values before the sort.
    struct Row {
        std::vector<double> values;
        std::string after;  // companion letters afterwards
    };
    const std::vector<Row> rows = {
        {{1, 3, 2}, "BCA"},
        {{5, 5}, "BA"},
        {{5, 5, 5}, "CBA"},
        {{5, 5, 5, 5}, "CDAB"},
        {{7, 9, 7, 8}, "BDCA"},                   // horses 2, 4, 3, 1
        {{60.5, 61.2, 60.5, 59.9, 61.2}, "BECAD"},  // horses 2, 5, 3, 1, 4
        {{60.5, 61.2, 59.8, 61.2, 58.0}, "DBACE"},  // 61.2 from 4 before 61.2 from 2
    };
    for (const Row& row : rows) {
        std::vector<double> values{-1.0};
        std::vector<char> keys{'#'};
        for (std::size_t k = 0; k < row.values.size(); ++k) {
            values.push_back(row.values[k]);
            keys.push_back(static_cast<char>('A' + k));
        }
        common::QuickSortDescending(values, keys, 1, static_cast<std::ptrdiff_t>(row.values.size()));
        EXPECT_EQ(std::string(keys.begin() + 1, keys.end()), row.after) << "first value " << row.values[0];
        EXPECT_EQ(keys[0], '#');
        for (std::size_t k = 2; k < values.size(); ++k) EXPECT_GE(values[k - 1], values[k]);
    }
}

TEST(QuickSortDescending, NoRunnersOrOneRunnerLeaveTheArraysAlone) {
    // As the batch calls it: single-precision values with two-digit horse numbers, lo = 1.
    std::vector<float> values{0.0f, 58.0f, 61.2f};
    std::vector<std::string> horses{"", "01", "02"};
    common::QuickSortDescending(values, horses, 1, 0);  // a race without runners
    common::QuickSortDescending(values, horses, 1, 1);  // one runner
    common::QuickSortDescending(values, horses, 2, 2);
    EXPECT_EQ(values, (std::vector<float>{0.0f, 58.0f, 61.2f}));
    EXPECT_EQ(horses, (std::vector<std::string>{"", "01", "02"}));
}

TEST(QuickSortAscending, DecidesWhichOfEqualKeysEndsLast) {
    // Traced by hand through the steps: B A B A B carrying 1..5 ends as A A B B B carrying
    // 4 2 5 1 3, so the last "A" is record 2 and the last "B" record 3 (a stable sort would
    // leave 4 and 5 last).
    std::vector<std::string> keys{"", "B", "A", "B", "A", "B"};
    std::vector<std::int64_t> numbers{0, 1, 2, 3, 4, 5};
    common::QuickSortAscending(keys, numbers, 1, 5);
    EXPECT_EQ(keys, (std::vector<std::string>{"", "A", "A", "B", "B", "B"}));
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{0, 4, 2, 5, 1, 3}));
}

TEST(QuickSort, LeavesEverythingOutsideTheStretchAlone) {
    std::vector<int> keys{9, 8, 7, 6, 5, 4};
    std::vector<int> comp{0, 1, 2, 3, 4, 5};
    common::QuickSortAscending(keys, comp, 2, 4);
    EXPECT_EQ(keys, (std::vector<int>{9, 8, 5, 6, 7, 4}));
    EXPECT_EQ(comp, (std::vector<int>{0, 1, 4, 3, 2, 5}));

    // One element, or none (hi below lo), is left as it is.
    std::vector<int> one{3, 1, 2};
    std::vector<int> oneComp{0, 1, 2};
    common::QuickSortAscending(one, oneComp, 1, 1);
    common::QuickSortAscending(one, oneComp, 2, 1);
    EXPECT_EQ(one, (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(oneComp, (std::vector<int>{0, 1, 2}));
}

// The steps written out literally: both stretches by recursion, the left one first.
void Literal(std::vector<int>& keys, std::vector<int>& comp, std::ptrdiff_t lo, std::ptrdiff_t hi) {
    const int pivot = keys[static_cast<std::size_t>((lo + hi) / 2)];
    std::ptrdiff_t i = lo;
    std::ptrdiff_t j = hi;
    for (;;) {
        while (keys[static_cast<std::size_t>(i)] < pivot) ++i;
        while (keys[static_cast<std::size_t>(j)] > pivot) --j;
        if (i >= j) break;
        std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
        std::swap(comp[static_cast<std::size_t>(i)], comp[static_cast<std::size_t>(j)]);
        ++i;
        --j;
    }
    if (lo < i - 1) Literal(keys, comp, lo, i - 1);
    if (j + 1 < hi) Literal(keys, comp, j + 1, hi);
}

TEST(QuickSort, SameResultAsTheLiteralRecursionOnManyInputs) {
    std::mt19937 random(20240812);
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + static_cast<int>(random() % 200);
        const int spread = 1 + static_cast<int>(random() % 12);  // few distinct keys: many ties
        std::vector<int> keys(static_cast<std::size_t>(n) + 1, 0);
        std::vector<int> comp(static_cast<std::size_t>(n) + 1, 0);
        for (int k = 1; k <= n; ++k) {
            keys[static_cast<std::size_t>(k)] = static_cast<int>(random() % static_cast<unsigned>(spread));
            comp[static_cast<std::size_t>(k)] = k;
        }
        std::vector<int> literalKeys = keys;
        std::vector<int> literalComp = comp;
        Literal(literalKeys, literalComp, 1, n);
        common::QuickSortAscending(keys, comp, 1, n);
        ASSERT_EQ(comp, literalComp) << "round " << round;
        ASSERT_EQ(keys, literalKeys);
    }
}

}  // namespace

#pragma once

#include <cstddef>
#include <functional>
#include <utility>

// The one quicksort of the program: a stretch of a key array sorted in place, a companion array
// moved in step. It is not stable, and which of several equal keys ends where follows from its
// exact steps, which the stored files and the rankings depend on: do not swap in std::sort.
namespace common {

/// Sorts keys[lo..hi] so that no key is `before` the key in front of it, exchanging
/// companion[i] and companion[j] with every exchange of keys[i] and keys[j]. Elements outside
/// lo..hi are neither read nor changed; hi <= lo sorts nothing.
///
/// One pass: pivot = keys[(lo + hi) / 2] (a copy); i = lo, j = hi; repeat { while
/// before(keys[i], pivot): i++; while before(pivot, keys[j]): j--; if i >= j: end the pass;
/// exchange elements i and j of both arrays; i++; j-- }. Then the stretches lo..i-1 and
/// j+1..hi are sorted the same way when they hold two elements or more.
///
/// The two stretches are disjoint, so the order in which they are sorted does not change the
/// result: the shorter one is sorted first by recursion and the longer one by the loop, which
/// keeps the stack depth logarithmic on any input.
template <class Keys, class Companion, class Before>
void QuickSortBy(Keys& keys, Companion& companion, std::ptrdiff_t lo, std::ptrdiff_t hi, Before before) {
    using std::swap;
    while (lo < hi) {
        const auto pivot = keys[static_cast<std::size_t>((lo + hi) / 2)];
        std::ptrdiff_t i = lo;
        std::ptrdiff_t j = hi;
        for (;;) {
            while (before(keys[static_cast<std::size_t>(i)], pivot)) ++i;
            while (before(pivot, keys[static_cast<std::size_t>(j)])) --j;
            if (i >= j) break;
            swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
            swap(companion[static_cast<std::size_t>(i)], companion[static_cast<std::size_t>(j)]);
            ++i;
            --j;
        }
        // Left stretch lo..i-1, right stretch j+1..hi (a stretch of fewer than two is sorted).
        if ((i - 1) - lo < hi - (j + 1)) {
            if (lo < i - 1) QuickSortBy(keys, companion, lo, i - 1, before);
            lo = j + 1;
        } else {
            if (j + 1 < hi) QuickSortBy(keys, companion, j + 1, hi, before);
            hi = i - 1;
        }
    }
}

/// Ascending order by operator< (texts compare byte by byte as unsigned characters).
template <class Keys, class Companion>
void QuickSortAscending(Keys& keys, Companion& companion, std::ptrdiff_t lo, std::ptrdiff_t hi) {
    QuickSortBy(keys, companion, lo, hi, std::less<>());
}

/// Descending order: highest key first.
template <class Keys, class Companion>
void QuickSortDescending(Keys& keys, Companion& companion, std::ptrdiff_t lo, std::ptrdiff_t hi) {
    QuickSortBy(keys, companion, lo, hi, std::greater<>());
}

}  // namespace common

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

// Work spread over threads whose results are taken up in order on the calling thread, so that
// what the calling thread writes (logs, counts, window controls) comes out as one thread's would.
namespace common {

/// Cores this process may run on (its affinity mask, as `taskset` sets it); at least 1.
int UsableCores();

/// Runs work(i) for i = 0 .. count - 1 on up to `threads` threads, and take(i) on the calling
/// thread in the order 0, 1, 2, ..., each as soon as work(i) has finished. With `threads` 1 (or
/// less) everything runs on the calling thread, work(i) right before take(i). work(i) of
/// different i may run at the same time and must touch nothing another one touches. A failure
/// thrown by work(i) is thrown again on the calling thread in place of take(i); the work not yet
/// started then stops, and so does all of it when take throws.
/// With a `window`, work(i) starts only once take(i - window) has returned: no more than `window`
/// items are in work or waiting to be taken up, so work(i) may leave its result in a slot of its
/// own among `window` slots, slot i % window, that take(i) reads. The calling thread then counts
/// among the `threads`: rather than wait for work(i), it runs work of the window that no thread
/// has started (so work(i) may run on it too). Windowed items are meant to be short: the threads
/// spin a little before they sleep.
void ForEachInOrder(std::size_t count, int threads, const std::function<void(std::size_t)>& work,
                    const std::function<void(std::size_t)>& take,
                    std::size_t window = std::numeric_limits<std::size_t>::max());

/// The threads of ForEachInOrder kept from one list to the next, for a step that goes through
/// several lists: its threads start once, and stay on the cores the scheduler first gave them.
/// Only one list runs at a time; the threads start with the first list that needs them and end
/// with the object.
class OrderedWorkers {
public:
    /// Lists run on up to `threads` threads, as ForEachInOrder's `threads`.
    explicit OrderedWorkers(int threads);
    ~OrderedWorkers();
    OrderedWorkers(const OrderedWorkers&) = delete;
    OrderedWorkers& operator=(const OrderedWorkers&) = delete;

    /// ForEachInOrder(count, threads, work, take, window) on these threads.
    void ForEachInOrder(std::size_t count, const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& take,
                        std::size_t window = std::numeric_limits<std::size_t>::max());

private:
    struct List;
    struct Shared;
    void Serve(std::size_t index, std::uint64_t seen);

    int threads_;
    std::unique_ptr<Shared> shared_;
    std::vector<std::jthread> pool_;  // after what its threads use, so that they are joined first
};

}  // namespace common

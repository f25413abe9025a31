#include "common/ordered_work.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include <sched.h>

namespace common {

int UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return std::max(1, CPU_COUNT(&set));
}

namespace {

// Waits until ready(value of `flag`) holds: it spins for up to `spin` first, then sleeps until the
// flag changes.
template <class T, class Ready>
void Await(const std::atomic<T>& flag, std::chrono::microseconds spin, Ready ready) {
    if (spin.count() > 0) {
        const auto until = std::chrono::steady_clock::now() + spin;
        do {
            if (ready(flag.load(std::memory_order_acquire))) return;
            // Yielding, not pausing: a thread the scheduler put on the same core as the one it
            // waits for lets it run.
            std::this_thread::yield();
        } while (std::chrono::steady_clock::now() < until);
    }
    for (T seen = flag.load(std::memory_order_acquire); !ready(seen); seen = flag.load(std::memory_order_acquire))
        flag.wait(seen, std::memory_order_acquire);
}

}  // namespace

void ForEachInOrder(std::size_t count, int threads, const std::function<void(std::size_t)>& work,
                    const std::function<void(std::size_t)>& take, std::size_t window) {
    if (threads <= 1 || count <= 1 || window <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            take(i);
        }
        return;
    }
    // Items in a window are short, and a thread put to sleep takes tens of microseconds to wake on
    // a virtual machine, as long as such an item takes: the threads spin a while before they sleep.
    // The calling thread works too, on an item of the window that no thread has started, rather
    // than wait; so the workers are one fewer, and no more than can be in work beside the item
    // taken up.
    const bool windowed = window != std::numeric_limits<std::size_t>::max();
    const std::chrono::microseconds spin(windowed ? 200 : 0);
    const std::size_t workers = windowed ? std::min({count, window - 1, static_cast<std::size_t>(threads - 1)})
                                         : std::min(count, static_cast<std::size_t>(threads));

    const auto done = std::make_unique<std::atomic<bool>[]>(count);
    std::vector<std::exception_ptr> failures(count);
    std::atomic<std::size_t> taken{0};  // items taken up so far
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};

    const auto run = [&](std::size_t i) {
        try {
            work(i);
        } catch (...) {
            failures[i] = std::current_exception();
        }
        done[i].store(true, std::memory_order_release);
        done[i].notify_one();
    };
    const auto worker = [&] {
        for (std::size_t i = next++; i < count && !stop; i = next++) {
            if (i >= window) {
                Await(taken, spin, [&](std::size_t t) { return t > i - window || stop; });
                if (stop) return;
            }
            run(i);
        }
    };
    // Starts on the calling thread the next item not started, if it lies before `end`.
    const auto runNextBefore = [&](std::size_t end) {
        std::size_t i = next.load();
        while (i < std::min(end, count))
            if (next.compare_exchange_weak(i, i + 1)) {
                run(i);
                return true;
            }
        return false;
    };

    // Declared after everything the workers use, so that they are joined before it goes.
    std::vector<std::jthread> pool;
    // A worker waiting for a slot is woken to see the stop.
    struct StopOnExit {
        std::atomic<bool>& stop;
        std::atomic<std::size_t>& taken;
        ~StopOnExit() {
            stop = true;
            taken.fetch_add(1);
            taken.notify_all();
        }
    } stopOnExit{stop, taken};
    pool.reserve(workers);
    for (std::size_t t = 0; t < workers; ++t) pool.emplace_back(worker);

    for (std::size_t i = 0; i < count; ++i) {
        while (windowed && !done[i].load(std::memory_order_acquire) && runNextBefore(i + window)) {
        }
        Await(done[i], spin, [](bool d) { return d; });
        if (failures[i]) std::rethrow_exception(failures[i]);
        take(i);
        taken.store(i + 1, std::memory_order_release);
        taken.notify_all();
    }
}

}  // namespace common

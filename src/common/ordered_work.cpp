#include "common/ordered_work.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>

#include <sched.h>

namespace common {

int UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return std::max(1, CPU_COUNT(&set));
}

namespace {

// Items in a window are short, and a thread put to sleep takes tens of microseconds to wake on a
// virtual machine, as long as such an item takes: the threads spin a while before they sleep.
constexpr std::chrono::microseconds kWindowSpin(200);

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

// One list in work.
struct OrderedWorkers::List {
    List(std::size_t count, std::size_t window, const std::function<void(std::size_t)>& work)
        : count(count), window(window), work(work), done(std::make_unique<std::atomic<bool>[]>(count)),
          failures(count) {}

    const std::size_t count;
    const std::size_t window;
    const bool windowed = window != std::numeric_limits<std::size_t>::max();
    const std::chrono::microseconds spin = windowed ? kWindowSpin : std::chrono::microseconds(0);
    const std::function<void(std::size_t)>& work;
    const std::unique_ptr<std::atomic<bool>[]> done;
    std::vector<std::exception_ptr> failures;
    std::atomic<std::size_t> taken{0};  // items taken up so far
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};

    void Run(std::size_t i) {
        try {
            work(i);
        } catch (...) {
            failures[i] = std::current_exception();
        }
        done[i].store(true, std::memory_order_release);
        done[i].notify_one();
    }
    // A pool thread's part: items not started, while the window lets it.
    void Serve() {
        for (std::size_t i = next++; i < count && !stop; i = next++) {
            if (i >= window) {
                Await(taken, spin, [&](std::size_t t) { return t > i - window || stop; });
                if (stop) return;
            }
            Run(i);
        }
    }
    // Starts on the calling thread the next item not started, if it lies before `end`.
    bool RunNextBefore(std::size_t end) {
        std::size_t i = next.load();
        while (i < std::min(end, count))
            if (next.compare_exchange_weak(i, i + 1)) {
                Run(i);
                return true;
            }
        return false;
    }
};

struct OrderedWorkers::Shared {
    std::atomic<List*> list{nullptr};     // nullptr once the threads are to end
    std::atomic<std::uint64_t> lists{0};  // lists handed out so far, the end counting as one
    std::size_t serving = 0;              // pool threads that take part in the list
    std::atomic<std::size_t> busy{0};     // pool threads not yet done with the list
};

OrderedWorkers::OrderedWorkers(int threads) : threads_(threads), shared_(std::make_unique<Shared>()) {}

OrderedWorkers::~OrderedWorkers() {
    shared_->list = nullptr;
    shared_->lists.fetch_add(1);
    shared_->lists.notify_all();
}

void OrderedWorkers::Serve(std::size_t index, std::uint64_t seen) {
    Shared& shared = *shared_;
    for (;;) {
        // Between lists a thread spins a while too: in a step the next list comes soon.
        Await(shared.lists, kWindowSpin, [&](std::uint64_t n) { return n != seen; });
        ++seen;
        List* list = shared.list.load();
        if (!list) return;
        if (index < shared.serving) list->Serve();
        if (shared.busy.fetch_sub(1) == 1) shared.busy.notify_all();
    }
}

void OrderedWorkers::ForEachInOrder(std::size_t count, const std::function<void(std::size_t)>& work,
                                    const std::function<void(std::size_t)>& take, std::size_t window) {
    if (threads_ <= 1 || count <= 1 || window <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            take(i);
        }
        return;
    }
    List list(count, window, work);
    // The calling thread works too in a window, on an item that no thread has started, rather
    // than wait; so the pool threads are one fewer, and no more than can be in work beside the
    // item taken up.
    Shared& shared = *shared_;
    shared.serving = list.windowed ? std::min({count, window - 1, static_cast<std::size_t>(threads_ - 1)})
                                   : std::min(count, static_cast<std::size_t>(threads_));
    while (pool_.size() < shared.serving)
        pool_.emplace_back([this, index = pool_.size(), seen = shared.lists.load()] { Serve(index, seen); });
    shared.busy = pool_.size();
    shared.list = &list;
    shared.lists.fetch_add(1);
    shared.lists.notify_all();

    // The list must outlive the pool's work on it, a failure or not. A thread waiting for a slot
    // is woken to see the stop.
    struct AwaitPoolOnExit {
        List& list;
        Shared& shared;
        ~AwaitPoolOnExit() {
            list.stop = true;
            list.taken.fetch_add(1);
            list.taken.notify_all();
            Await(shared.busy, list.spin, [](std::size_t busy) { return busy == 0; });
        }
    } awaitPoolOnExit{list, shared};

    for (std::size_t i = 0; i < count; ++i) {
        while (list.windowed && !list.done[i].load(std::memory_order_acquire) && list.RunNextBefore(i + window)) {
        }
        Await(list.done[i], list.spin, [](bool d) { return d; });
        if (list.failures[i]) std::rethrow_exception(list.failures[i]);
        take(i);
        list.taken.store(i + 1, std::memory_order_release);
        list.taken.notify_all();
    }
}

void ForEachInOrder(std::size_t count, int threads, const std::function<void(std::size_t)>& work,
                    const std::function<void(std::size_t)>& take, std::size_t window) {
    OrderedWorkers(threads).ForEachInOrder(count, work, take, window);
}

}  // namespace common

#include "common/ordered_work.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
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

void ForEachInOrder(std::size_t count, int threads, const std::function<void(std::size_t)>& work,
                    const std::function<void(std::size_t)>& take) {
    const std::size_t workers = std::min<std::size_t>(count, static_cast<std::size_t>(std::max(threads, 1)));
    if (workers <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            take(i);
        }
        return;
    }

    std::mutex mutex;
    std::condition_variable finished;
    std::vector<char> done(count, 0);
    std::vector<std::exception_ptr> failures(count);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};

    const auto worker = [&] {
        for (std::size_t i = next++; i < count && !stop; i = next++) {
            std::exception_ptr failure;
            try {
                work(i);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex);
                done[i] = 1;
                failures[i] = failure;
            }
            finished.notify_all();
        }
    };

    // Declared after everything the workers use, so that they are joined before it goes.
    std::vector<std::jthread> pool;
    struct StopOnExit {
        std::atomic<bool>& stop;
        ~StopOnExit() { stop = true; }
    } stopOnExit{stop};
    pool.reserve(workers);
    for (std::size_t t = 0; t < workers; ++t) pool.emplace_back(worker);

    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return done[i] != 0; });
        }
        if (failures[i]) std::rethrow_exception(failures[i]);
        take(i);
    }
}

}  // namespace common

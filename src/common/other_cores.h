#pragma once

#include <functional>

#include <tbb/task_arena.h>
#include <tbb/task_group.h>

// Computing handed to the other cores, one piece at a time, while the calling thread goes on
// with the file calls and the log: those stay in one order whatever the cores.
namespace common {

class OtherCores {
public:
    /// At most `threads` threads, the calling one included; with one, a piece is computed on the
    /// calling thread when it is waited for.
    explicit OtherCores(int threads);
    /// Waits for the piece in hand, whatever is on its way out: the piece may use what the caller
    /// holds.
    ~OtherCores();
    OtherCores(const OtherCores&) = delete;
    OtherCores& operator=(const OtherCores&) = delete;

    /// Hands `piece` over. It may touch only what it was handed until Wait() has returned; a
    /// piece may spread its own work further with tbb::parallel_for.
    void Start(std::function<void()> piece);
    /// Returns once the piece handed over is done; rethrows what it threw.
    void Wait();

private:
    tbb::task_arena arena_;
    tbb::task_group group_;
};

}  // namespace common

#include "common/other_cores.h"

#include <utility>

namespace common {

OtherCores::OtherCores(int threads) : arena_(threads) {}

OtherCores::~OtherCores() {
    try {
        Wait();
    } catch (...) {
        // Already on the way out with a failure of its own, or its failure goes unread.
    }
}

void OtherCores::Start(std::function<void()> piece) {
    arena_.execute([&] { group_.run(std::move(piece)); });
}

void OtherCores::Wait() {
    arena_.execute([&] { group_.wait(); });
}

}  // namespace common

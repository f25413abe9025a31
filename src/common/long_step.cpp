#include "common/long_step.h"

#include <atomic>

namespace common {

namespace {
std::atomic<bool> working{false};
}  // namespace

bool LongStepWorking() { return working.load(); }

LongStepGuard::LongStepGuard() : engaged_(!working.exchange(true)) {}

LongStepGuard::~LongStepGuard() {
    if (engaged_) working.store(false);
}

}  // namespace common

#pragma once

// One long step at a time in the whole program: the main menu's steps, ④ and ⑤ of the expansion
// window and the weekly batch of ⑥ all read files the others write. While one works, pending
// window events still run, so a click can reach another step's handler; that handler finds the
// flag taken and returns at once.
namespace common {

/// True while a long step is working anywhere in the program.
bool LongStepWorking();

/// Takes the flag for as long as it lives, when nobody holds it; a guard that found it taken
/// is not engaged and releases nothing.
class LongStepGuard {
public:
    LongStepGuard();
    ~LongStepGuard();
    LongStepGuard(const LongStepGuard&) = delete;
    LongStepGuard& operator=(const LongStepGuard&) = delete;

    /// False when another step was working: the caller does not start.
    explicit operator bool() const { return engaged_; }

private:
    bool engaged_;
};

}  // namespace common

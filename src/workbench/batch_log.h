#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the weekly batch passed over: every failure goes to ERRORLOG.txt with the race key and the
// sub-step, and is counted for the end text.
namespace workbench {

/// The batch's name in ERRORLOG.txt.
inline constexpr std::string_view kBatchStep = "WeeklyYosoBatch";

class BatchLog {
public:
    /// A sub-step of race `raceIdx` failed (0: a race that could not be listed); the race counts
    /// as partly passed over, once however many of its sub-steps fail.
    void RaceFailed(int raceIdx, std::string_view raceKey, std::string_view subStep, std::string_view reason);
    /// A runner that got no runs: its horse's expanded records (`file`) hold no run of this race.
    void RunnerWithoutRuns(std::string_view raceKey, int horse, std::string_view kettoNum, const std::filesystem::path& file,
                           std::string_view why);
    /// A sub-step of the whole week failed (a week file, an input file, the code table).
    void StepFailed(std::string_view subStep, std::string_view reason);
    /// A per-race writer failed or passed something over for race `raceIdx`: logged with the race
    /// and the writer, and counted among the failed steps once per race and writer.
    void WriterFailed(int raceIdx, std::string_view raceKey, std::string_view writer, std::string_view reason);
    /// Counts a failed sub-step of the week that the routine meeting it has logged already.
    void CountStep() { ++steps_; }
    /// Counts damaged records of a week file that its reader passed over and logged.
    void CountDamagedRecords(std::int64_t records) { damagedRecords_ += records; }

    /// Runs `work` in its own try; returns why it failed, or nothing. It logs nothing, so that
    /// work on another core can hand its failures back to be logged in their turn.
    template <class F>
    static std::optional<std::string> Attempt(F&& work) {
        try {
            work();
            return std::nullopt;
        } catch (const std::exception& e) {
            return std::string(e.what());
        } catch (...) {
            return std::string("unknown failure");
        }
    }
    /// Runs one sub-step of a race in its own try: a failure is logged and the batch goes on.
    template <class F>
    bool Race(int raceIdx, std::string_view raceKey, std::string_view subStep, F&& work) {
        const std::optional<std::string> failure = Attempt(std::forward<F>(work));
        if (failure) RaceFailed(raceIdx, raceKey, subStep, *failure);
        return !failure;
    }
    /// Runs one sub-step of the week in its own try.
    template <class F>
    bool Step(std::string_view subStep, F&& work) {
        try {
            work();
            return true;
        } catch (const std::exception& e) {
            StepFailed(subStep, e.what());
        } catch (...) {
            StepFailed(subStep, "unknown failure");
        }
        return false;
    }

    std::int64_t RacesPassedOver() const { return static_cast<std::int64_t>(races_.size()) + unlisted_; }
    std::int64_t RunnersWithoutRuns() const { return runnersWithoutRuns_; }
    std::int64_t StepsPassedOver() const { return steps_ + static_cast<std::int64_t>(writerSteps_.size()); }
    std::int64_t DamagedRecords() const { return damagedRecords_; }

private:
    void Write(const std::string& reason);

    std::set<int> races_;
    std::set<std::pair<int, std::string>> writerSteps_;  // race index and writer
    std::int64_t unlisted_ = 0;
    std::int64_t runnersWithoutRuns_ = 0;
    std::int64_t steps_ = 0;
    std::int64_t damagedRecords_ = 0;
};

}  // namespace workbench

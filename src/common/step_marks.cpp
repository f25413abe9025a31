#include "common/step_marks.h"

#include <array>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace common {

namespace {

namespace fs = std::filesystem;
using S = MarkedStep;


// What each step reads of what the marked steps write.
constexpr std::array<S, 0> kNone{};
constexpr std::array kCancellationReads{S::Structures};                      // the sorted files, the horse list
constexpr std::array kDayBeforeFixReads{S::Structures, S::Cancellation};     // the run files, the race file
constexpr std::array kComputationReads{S::Structures, S::Cancellation, S::DayBeforeFix};  // lists, run files, races
constexpr std::array kBatchReads{S::Structures, S::Cancellation, S::DayBeforeFix, S::Computation};
// Ⅲ: the race dates of the sorted race file, and the runner files of the batch.
constexpr std::array kBreakingPayoutsReads{S::Structures, S::Cancellation, S::DayBeforeFix, S::WeeklyBatch};
constexpr std::array kDayReportReads{S::WeeklyBatch};  // the result reports in TEKICHU

fs::path MarkPath(MarkedStep step) { return AppPath(MarkOf(step).markFile); }

}  // namespace

// The mark holds when the run started, for whoever looks at a mark left behind.
void SetStepMark(MarkedStep step) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char started[32];
    std::strftime(started, sizeof started, " started %Y/%m/%d %H:%M:%S\r\n", &local);
    WriteFileAtomically(MarkPath(step), std::string(MarkOf(step).markText) + started);
}

void ClearStepMark(MarkedStep step) { RemoveFile(MarkPath(step)); }

bool StepMarkStands(MarkedStep step) {
    std::error_code ec;
    return fs::exists(MarkPath(step), ec);
}

std::vector<MarkedStep> StandingStepMarks() {
    std::vector<MarkedStep> standing;
    for (const StepMark& mark : kStepMarks)
        if (StepMarkStands(mark.step)) standing.push_back(mark.step);
    return standing;
}

std::span<const MarkedStep> MarkedInputsOf(MarkedStep reader) {
    switch (reader) {
        case S::Cancellation: return kCancellationReads;
        case S::DayBeforeFix: return kDayBeforeFixReads;
        case S::Computation: return kComputationReads;
        case S::WeeklyBatch: return kBatchReads;
        case S::BreakingPayouts: return kBreakingPayoutsReads;
        case S::IndexRebuild:
        case S::AtariList: return kDayReportReads;
        default: return kNone;
    }
}

std::string RunFirstPart(MarkedStep reader) {
    const std::string_view steps = MarkOf(reader).runFirst;
    if (steps.empty()) return {};
    return "先に" + std::string(steps) + "を実行して下さい";
}

std::vector<std::string> UnfinishedInputParts(MarkedStep reader, std::string_view logStep) {
    std::vector<std::string> parts;
    for (MarkedStep input : MarkedInputsOf(reader)) {
        if (!StepMarkStands(input)) continue;
        const StepMark& mark = MarkOf(input);
        LogError(logStep, std::string(mark.markFile) + " stands: the " + std::string(mark.markText) +
                              " did not end, and what it writes is read here partly old");
        parts.push_back(std::string(mark.name) + "が途中で終了しています");
    }
    return parts;
}

}  // namespace common

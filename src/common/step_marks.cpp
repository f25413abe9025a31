#include "common/step_marks.h"

#include <array>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace common {

namespace {

namespace fs = std::filesystem;
using S = MarkedStep;

// The week's steps as they feed each other, the one place that says it: `reader` reads what
// `writer` writes. A needed input is one the reader cannot do without, so that its writer runs
// first; race cancellation and ④ may be left out, and past weeks' result reports are not this
// week's to make. In table order of the readers, then of the writers.
struct Edge {
    S reader;
    S writer;
    bool needed;
};
constexpr Edge kEdges[] = {
    {S::Structures, S::WeeklyFetch, true},  // the week files of races, runners and horses
    {S::Cancellation, S::Structures, true},  // the sorted files, the horse list
    {S::DayBeforeFix, S::WeeklyFetch, true},  // the payouts
    {S::DayBeforeFix, S::Structures, true},  // the run files, the race file
    {S::DayBeforeFix, S::Cancellation, false},
    {S::Computation, S::WeeklyFetch, true},  // the jockeys
    {S::Computation, S::Structures, true},  // the lists, the run files, the races
    {S::Computation, S::Cancellation, false},
    {S::Computation, S::DayBeforeFix, false},
    {S::WeeklyBatch, S::WeeklyFetch, true},  // the payouts
    {S::WeeklyBatch, S::Structures, true},
    {S::WeeklyBatch, S::Cancellation, false},
    {S::WeeklyBatch, S::DayBeforeFix, false},
    {S::WeeklyBatch, S::Computation, true},
    {S::WeekOddsTables, S::OddsFetch, true},
    {S::WeekOddsTables, S::TrifectaFetch, true},
    // Ⅲ: the race files of ① and ②, and the runner files of ⑥ it writes the results into.
    {S::BreakingPayouts, S::WeeklyFetch, true},
    {S::BreakingPayouts, S::Structures, true},
    {S::BreakingPayouts, S::Cancellation, false},
    {S::BreakingPayouts, S::DayBeforeFix, false},
    {S::BreakingPayouts, S::WeeklyBatch, true},
    {S::IndexRebuild, S::WeeklyBatch, false},  // the result reports in TEKICHU
    {S::AtariList, S::WeeklyBatch, false},
};

// The table holds the steps in the order of their names, so that a step's number is its row.
constexpr bool RowsInStepOrder() {
    for (std::size_t i = 0; i < kStepMarks.size(); ++i)
        if (static_cast<std::size_t>(kStepMarks[i].step) != i) return false;
    return true;
}
static_assert(RowsInStepOrder());

// Ⅳ's breaking odds come from a fetch that leaves no mark.
constexpr std::string_view kBreakingOddsFetchButton = "Ⅱ速報オッズ情報";

// Adds to `needed` what `step` cannot do without, and what that cannot do without.
void AddNeeded(MarkedStep step, std::vector<bool>& needed) {
    for (const Edge& edge : kEdges) {
        const auto writer = static_cast<std::size_t>(edge.writer);
        if (edge.reader != step || !edge.needed || needed[writer]) continue;
        needed[writer] = true;
        AddNeeded(edge.writer, needed);
    }
}

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

std::vector<MarkedStep> MarkedInputsOf(MarkedStep reader) {
    std::vector<MarkedStep> inputs;
    for (const Edge& edge : kEdges)
        if (edge.reader == reader) inputs.push_back(edge.writer);
    return inputs;
}

std::string RunFirstPart(MarkedStep reader) {
    std::vector<bool> needed(kStepMarks.size(), false);
    AddNeeded(reader, needed);
    // Steps run by one button (② with its cancellation, both odds fetches) are named once, and a
    // step run by the reader's own button is no step to run first.
    std::string steps(reader == S::BreakingOddsTables ? kBreakingOddsFetchButton : "");
    const std::string_view own = MarkOf(reader).button;
    std::string_view last;
    for (const StepMark& mark : kStepMarks) {
        if (!needed[static_cast<std::size_t>(mark.step)] || mark.button == own || mark.button == last) continue;
        steps += mark.button;
        last = mark.button;
    }
    if (steps.empty()) return {};
    return "先に" + steps + "を実行して下さい";
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

#include "workbench/batch_log.h"

#include "common/error_log.h"

namespace workbench {

namespace {

// Keys come from records: whatever they hold goes into the log readably.
std::string Printable(std::string_view key) {
    std::string out;
    for (char c : key) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

}  // namespace

void BatchLog::Write(const std::string& reason) { common::LogError(kBatchStep, reason); }

void BatchLog::RaceFailed(int raceIdx, std::string_view raceKey, std::string_view subStep, std::string_view reason) {
    if (raceIdx > 0)
        races_.insert(raceIdx);
    else
        ++unlisted_;
    Write("race " + Printable(raceKey) + ", " + std::string(subStep) + ": " + std::string(reason));
}

void BatchLog::WriterFailed(int raceIdx, std::string_view raceKey, std::string_view writer, std::string_view reason) {
    writerSteps_.emplace(raceIdx, std::string(writer));
    Write("race " + Printable(raceKey) + ", " + std::string(writer) + ": " + std::string(reason));
}

void BatchLog::RunnerWithoutRuns(std::string_view raceKey, int horse, std::string_view kettoNum, std::string_view why) {
    ++runnersWithoutRuns_;
    Write("race " + Printable(raceKey) + ", horse number " + std::to_string(horse) + ", KettoNum " +
          Printable(kettoNum) + ": no expanded run of this race (" + std::string(why) + "); the runner has no runs");
}

void BatchLog::StepFailed(std::string_view subStep, std::string_view reason) {
    ++steps_;
    Write(std::string(subStep) + ": " + std::string(reason));
}

}  // namespace workbench

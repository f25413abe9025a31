// How long the supplementary writers take on the demo week at full scale after the results (96
// races of 18 runners): the PC-variant day report, the labelled day report, the two win/place
// lists, the win-bet csv and the speed file. The race states are taken from one run of the weekly
// batch; then each writer is made fresh and called for every race, as a run of the batch does, on
// its own and all six together. Printed beside them: the whole weekly batch with every writer.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench_week.h"
#include "common/code_table.h"
#include "common/day_files.h"
#include "common/working_folders.h"
#include "workbench/batch_log.h"
#include "workbench/weekly_batch.h"
#include "writers/race_writers.h"

namespace {

constexpr std::string_view kSupplementary[] = {"WriteLupPcRace", "WriteTwiRace",   "WriteTanfuku1",
                                               "WriteTanfuku2",  "WriteTanshoCsv", "WriteSokudoHrCsv"};

}  // namespace

int main() {
    bench::DemoWeek week("supplementary-bench", bench::DemoWeek::Stage::Computed, true);
    week.folder.Use();
    common::CreateWorkingFolders("bench");
    bench::QuietHost host;
    const std::vector<workbench::RaceState> races = bench::CaptureRaceStates(host);
    const common::CodeTable codes = common::CodeTable::Load();

    std::vector<const workbench::RaceWriterEntry*> chosen;
    for (std::string_view name : kSupplementary)
        for (const auto& entry : writers::kRaceWriters)
            if (entry.Name == name && entry.Make) chosen.push_back(&entry);

    long failures = 0;
    // One run of the batch's writer calls over the week for the given writers.
    auto run = [&](const std::vector<const workbench::RaceWriterEntry*>& entries) {
        workbench::BatchLog log;
        common::DayFiles dayFiles;
        workbench::DayTallies tallies;
        workbench::WriterNotes notes;
        std::vector<std::unique_ptr<workbench::RaceWriter>> made;
        for (const auto* entry : entries) made.push_back(entry->Make());
        for (const workbench::RaceState& race : races)
            for (std::size_t w = 0; w < made.size(); ++w) {
                workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, entries[w]->Name};
                try {
                    made[w]->WriteRace(context);
                } catch (...) {
                    ++failures;
                }
            }
    };

    std::printf("races %zu, result mode %d\n", races.size(), races.empty() ? 0 : races.front().ResultMode);
    for (const auto* entry : chosen) {
        const double t = bench::BestOf(7, [&] { run({entry}); });
        std::printf("%-18s %.4f s\n", std::string(entry->Name).c_str(), t);
    }
    const double together = bench::BestOf(7, [&] { run(chosen); });
    std::printf("%-18s %.4f s (%zu writers)\n", "together", together, chosen.size());
    const double batch = bench::BestOf(3, [&] { workbench::WeeklyYosoBatch(host, writers::kRaceWriters); });
    std::printf("%-18s %.4f s\n", "whole batch", batch);
    std::printf("failures %ld\n", failures);
    return failures == 0 && chosen.size() == std::size(kSupplementary) ? 0 : 1;
}

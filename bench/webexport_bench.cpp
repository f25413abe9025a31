// How long the web writers take on the demo week at full scale (96 races of 18 runners), alone:
// the race states are taken from one run of the weekly batch, then the writers are made fresh and
// called for every race, as a run of the batch does. Measured next to it: merely writing the same
// bytes to the same files through scratch files and renames, the floor that the file system sets.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_week.h"
#include "common/code_table.h"
#include "common/day_files.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "webexport/page_values.h"
#include "webexport/race_page.h"
#include "webexport/site_config.h"
#include "workbench/batch_log.h"
#include "workbench/weekly_batch.h"
#include "writers/race_writers.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<workbench::RaceState>& Captured() {
    static std::vector<workbench::RaceState> races;
    return races;
}

// Keeps a copy of every race state the batch hands its writers.
class Capture final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override { Captured().push_back(context.race); }
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <class F>
double Best(int rounds, F&& run) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, Seconds(Clock::now() - start));
    }
    return best;
}

}  // namespace

int main() {
    bench::DemoWeek week("webexport-bench", bench::DemoWeek::Stage::Computed, false);
    week.folder.Use();
    bench::QuietHost host;
    const workbench::RaceWriterEntry capture[] = {{"Capture", [] { return std::make_unique<Capture>(); }}};
    workbench::WeeklyYosoBatch(host, capture);
    const std::vector<workbench::RaceState>& races = Captured();
    const common::CodeTable codes = common::CodeTable::Load();
    std::filesystem::create_directories(week.folder / "tarnel_paddy_yosou");

    // The web writers of the table, made fresh per run (site settings read once per run).
    std::vector<const workbench::RaceWriterEntry*> web;
    for (const auto& entry : writers::kRaceWriters)
        if (entry.Make && (entry.Name == "WriteRacePage" || entry.Name == "WriteDayBlockText" ||
                           entry.Name == "WriteDayPrintPage"))
            web.push_back(&entry);

    long failures = 0;
    const double writers = Best(7, [&] {
        workbench::BatchLog log;
        common::DayFiles dayFiles;
        workbench::DayTallies tallies;
        workbench::WriterNotes notes;
        std::vector<std::unique_ptr<workbench::RaceWriter>> made;
        for (const auto* entry : web) made.push_back(entry->Make());
        for (const workbench::RaceState& race : races)
            for (std::size_t w = 0; w < made.size(); ++w) {
                workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, web[w]->Name};
                try {
                    made[w]->WriteRace(context);
                } catch (...) {
                    ++failures;
                }
            }
    });

    // The same bytes written to the same files, without composing them.
    const webexport::SiteConfig config = webexport::LoadSiteConfig();
    std::vector<std::pair<std::filesystem::path, std::string>> pages;
    std::size_t bytes = 0;
    for (const workbench::RaceState& race : races) {
        const webexport::PageValues page = webexport::ComputePageValues(race, codes);
        pages.emplace_back(common::AppPath(webexport::RacePageFile(page)),
                           webexport::ComposeRacePage(race, page, config));
        bytes += pages.back().second.size();
    }
    const double floor = Best(7, [&] {
        for (const auto& [path, content] : pages) common::WriteFileAtomically(path, content);
    });

    std::printf("races %zu, web writers %zu, pages %zu (%zu bytes), failures %ld\n", races.size(), web.size(),
                pages.size(), bytes, failures);
    std::printf("web writers: %.4f s   writing the same bytes: %.4f s   ratio %.2f\n", writers, floor,
                floor > 0 ? writers / floor : 0.0);
    return failures == 0 ? 0 : 1;
}

// How long the web writers take on the demo week at full scale (96 races of 18 runners), alone:
// the race states are taken from one run of the weekly batch, then the writers are made fresh and
// called for every race, as a run of the batch does: each writer on its own, then the three
// together in the batch's order. Measured next to it: merely writing the race pages' bytes to the
// same files through scratch files and renames, the floor that the file system sets. Then the day
// files of the week are checked: every print page a whole page of twelve races, every block text
// ending with "Finish".

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
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

namespace fs = std::filesystem;

int Count(std::string_view text, std::string_view what) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string_view::npos; at += what.size()) ++n;
    return n;
}

}  // namespace

int main() {
    bench::DemoWeek week("webexport-bench", bench::DemoWeek::Stage::Computed, false);
    week.folder.Use();
    bench::QuietHost host;
    const std::vector<workbench::RaceState> races = bench::CaptureRaceStates(host);
    const common::CodeTable codes = common::CodeTable::Load();
    fs::create_directories(week.folder / "tarnel_paddy_yosou");
    fs::create_directories(week.folder / "tarnel_paddy_wp");

    // The web writers of the table, in its order, made fresh per run (site settings read once per run).
    std::vector<const workbench::RaceWriterEntry*> web;
    for (const auto& entry : writers::kRaceWriters)
        if (entry.Make && (entry.Name == "WriteDayBlockText" || entry.Name == "WriteRacePage" ||
                           entry.Name == "WriteDayPrintPage"))
            web.push_back(&entry);

    long failures = 0;
    std::printf("races %zu, web writers %zu\n", races.size(), web.size());
    for (const auto* entry : web) {
        const double alone = bench::BestOf(7, [&] { failures += bench::RunWriters({entry}, races, codes); });
        std::printf("%-18s %.4f s\n", std::string(entry->Name).c_str(), alone);
    }
    const double total = bench::BestOf(7, [&] { failures += bench::RunWriters(web, races, codes); });
    std::printf("%-18s %.4f s\n", "all three", total);

    // What the day files' rewrites amount to over the week (not timed).
    std::uintmax_t dayBytes = 0;
    failures += bench::RunWriters(web, races, codes, [&](const workbench::RaceState& race) {
        const webexport::PageValues page = webexport::ComputePageValues(race, codes);
        for (const std::string& name : {webexport::DayBlockFile(page), webexport::DayPrintFile(page)})
            dayBytes += fs::file_size(common::AppPath(name));
    });

    // The race pages' bytes written to the same files, without composing them.
    const webexport::SiteConfig config = webexport::LoadSiteConfig();
    std::vector<std::pair<fs::path, std::string>> pages;
    std::size_t pageBytes = 0;
    for (const workbench::RaceState& race : races) {
        const webexport::PageValues page = webexport::ComputePageValues(race, codes);
        pages.emplace_back(common::AppPath(webexport::RacePageFile(page)),
                           webexport::ComposeRacePage(race, page, config));
        pageBytes += pages.back().second.size();
    }
    const double floor = bench::BestOf(7, [&] {
        for (const auto& [path, content] : pages) common::WriteFileAtomically(path, content);
    });
    std::printf("race pages %zu (%zu bytes); day files rewritten with %ju bytes in all\n", pages.size(), pageBytes,
                dayBytes);
    std::printf("writing the race pages' bytes alone: %.4f s\n", floor);

    // The week's day files after the last run.
    int printPages = 0, blockTexts = 0, bad = 0;
    for (const auto& file : fs::directory_iterator(week.folder / "tarnel_paddy_wp")) {
        const std::string name = file.path().filename().string();
        const std::string text = common::ReadFileBytes(file.path());
        if (name.ends_with("_pdf.txt")) {
            ++printPages;
            if (Count(text, "<table class=\"raceDetail\">") != 12 || Count(text, "</html>") != 1 ||
                !text.ends_with("</html>\r\n")) {
                std::printf("not a whole page of twelve races: %s\n", name.c_str());
                ++bad;
            }
        } else {
            ++blockTexts;
            if (!text.ends_with("\r\nFinish\r\n") || Count(text, "<!-- wp:heading -->") != 12) {
                std::printf("not twelve blocks and \"Finish\": %s\n", name.c_str());
                ++bad;
            }
        }
    }
    std::printf("day files: %d print pages, %d block texts, %d not as they should be; failures %ld\n", printPages,
                blockTexts, bad, failures);
    return failures == 0 && bad == 0 && printPages > 0 && printPages == blockTexts ? 0 : 1;
}

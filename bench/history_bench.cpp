// How long the past-results window's and the big-payout window's loads take on a year of stored
// days: the demo week with 52 past weeks (each run after its results through the program's steps;
// fewer past runs per horse, which the day files do not depend on). The generation is not timed.
// The stored-day scan with its day-key list, the rebuild of the outside program's index, the
// big-payout list, and the scan of the big-payout list alone (its listing of TEKICHU, with a probe
// that reads nothing) are timed in several rounds; the median and the slowest round are printed
// beside the number of stored days and of files in TEKICHU.
//   history_bench [past weeks, default 52] [rounds, default 7]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_week.h"
#include "generator.h"
#include "history/atari_list.h"
#include "history/index_rebuild.h"
#include "history/meeting_scan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %8.2f ms, slowest %8.2f ms\n", what, ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int weeks = argc > 1 ? std::atoi(argv[1]) : 52;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    bench::TempAppFolder folder("history-bench");

    demoweek::Options options;
    options.folder = folder.Path();
    options.state = demoweek::WeekState::After;
    options.seed = 7;
    options.saturday = demoweek::DayOf(2025, 12, 27);
    options.scale = demoweek::NormalScale();
    options.scale.history = 4;
    options.pastWeeks = weeks;
    const auto generated = Clock::now();
    demoweek::GenerateWeek(options);
    folder.Use();
    std::printf("generated %d past weeks in %.1f s (not timed below)\n", weeks,
                std::chrono::duration<double>(Clock::now() - generated).count());

    long files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "TEKICHU")) files += entry.is_regular_file();

    bench::QuietHost host;
    std::vector<double> scan, rebuild, hitList, hitScan;
    std::size_t days = 0;
    history::IndexRebuild last;
    history::AtariList hits;
    int hitDays = 0;
    for (int r = 0; r < rounds; ++r) {
        auto start = Clock::now();
        days = history::ScanTekichuDays(host).keys.size();
        scan.push_back(Ms(Clock::now() - start));
        start = Clock::now();
        last = history::RebuildSokudoFiles(host);
        rebuild.push_back(Ms(Clock::now() - start));
        start = Clock::now();
        hits = history::CollectAtariList(host, [&host] { host.pumpEvents(); });
        hitList.push_back(Ms(Clock::now() - start));
        history::MeetingScan reportsOnly;
        reportsOnly.step = history::kAtariListStep;
        reportsOnly.suffix = "lupRCM.txt";
        reportsOnly.probe = [&](const std::string&) { ++hitDays; };
        reportsOnly.letEventsRun = [&host] { host.pumpEvents(); };
        hitDays = 0;
        start = Clock::now();
        history::ScanMeetingKeys(host, reportsOnly);
        hitScan.push_back(Ms(Clock::now() - start));
    }
    std::printf("stored days listed: %zu, files in TEKICHU: %ld\n", days, files);
    std::printf("index: %d races, %d speed lines in %d date files, %d passed over\n", last.races, last.speedLines,
                last.dates, last.passedOver);
    std::printf("big-payout list: %d days read (%d found by its scan), %d hit lines, %d payout lines, %d big payouts, %d passed over\n",
                hits.days, hitDays, hits.hitLines, hits.payoutLines, hits.bigPayouts, hits.passedOver);
    Print("scan with day-key list", scan);
    Print("rebuild of the index", rebuild);
    Print("big-payout list", hitList);
    Print("scan of the big-payout list", hitScan);
    return 0;
}

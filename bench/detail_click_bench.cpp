// How long a click on a race of the prediction window takes (List1_Click: title, payout grid,
// the four ticket grids with their odds, the predicted ranks) on the demo week at full scale after
// the results: 96 races of 18 runners, this week's odds tables built. Offscreen, every race is
// clicked in turn, several rounds; the slowest and the median click are printed, for the handler
// alone and for the handler with the repaint that follows it.
//
// Where the batch has not written a race's sorted ticket files, this program writes every pair and
// trio of its 18 horses in their place, so that each click fills full grids.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QListWidget>
#include <QTabWidget>

#include "acquisition/download_starter.h"
#include "acquisition/odds_tables.h"
#include "acquisition/week_odds_fetch.h"
#include "bench_week.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "dataservice/local_jvlink.h"
#include "workbench/prediction_window.h"
#include "writers/race_writers.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Sorted ticket files of all pairs and trios of 18 horses, and a sort file of 18 lines.
int WriteMissingTicketFiles(const std::vector<std::string>& keys) {
    int written = 0;
    for (const std::string& key : keys) {
        if (std::filesystem::exists(common::AppPath("KAIME/" + key + "UMARENSORT.dat"))) continue;
        std::string pairs, trios, sort;
        for (int a = 1; a <= 18; ++a)
            for (int b = a + 1; b <= 18; ++b) {
                pairs += "\"" + key + "\",\"Umaren\",\"" + Two(a) + Two(b) + "\",100.5\r\n";
                for (int c = b + 1; c <= 18; ++c) trios += "\"" + key + "\",\"Sanrenpuke\",\"" + Two(a) + Two(b) + Two(c) + "\",150.5\r\n";
            }
        for (int h = 1; h <= 18; ++h)
            sort += std::to_string(h) + ",\"1\",\"" + (h < 10 ? " " : "") + std::to_string(h) + "\",\" 1\",\"M\",\" 4\",\"NAME\",\"57.0\","
                    "\"A\",\"B\",\"C\",\"D\",\"JOCK\",\"1.34.5\",\"1017\"\r\n";
        for (const char* suffix : {"UMARENSORT.dat", "UMATANSORT.dat"}) common::WriteFileAtomically(common::AppPath("KAIME/" + key + suffix), pairs);
        for (const char* suffix : {"SANRENSORT.dat", "SANRENTANSORT.dat"}) common::WriteFileAtomically(common::AppPath("KAIME/" + key + suffix), trios);
        common::WriteFileAtomically(common::AppPath("KAIME/" + key + "SORT.dat"), sort);
        ++written;
    }
    return written;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s clicks %zu  median %.1f ms  slowest %.1f ms\n", what, ms.size(), ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("building the full demo week after the results...\n");
    bench::DemoWeek week("detail-click-bench", bench::DemoWeek::Stage::Computed, true);
    {  // this week's odds and their tables, as the odds window and オッズ処理 make them
        bench::QuietHost host;
        dataservice::LocalJVLink::Config config;
        config.settingsFile = week.folder / "jvlink.settings";
        dataservice::LocalJVLink link(std::move(config));
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
        const auto done = [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; };
        acquisition::FetchWeekOdds(starter, done, [](std::string_view) {});
        acquisition::FetchWeekTrifectaOdds(starter, done, [](std::string_view) {});
        acquisition::BuildOddsTables(acquisition::kOddsSourceThisWeek);
    }

    bench::QuietHost host;
    auto* window = new workbench::YOSOKEKKATHISWEEKNVK31(host, writers::kRaceWriters);
    const workbench::WeekBatch& batch = window->Batch();
    const int stood = WriteMissingTicketFiles(std::vector<std::string>(batch.RaceKeyList.begin() + 1, batch.RaceKeyList.end()));
    if (stood > 0) std::printf("sorted ticket files written by this program for %d of %lld races\n", stood, static_cast<long long>(batch.WeekRaceCount));
    window->show();
    auto* list = window->findChild<QListWidget*>("List1");
    window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(4);  // the trifecta grid, the largest
    QCoreApplication::processEvents();

    std::vector<double> handler, withPaint;
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round)
        for (int i = 0; i < list->count(); ++i) {
            list->setCurrentRow(-1);
            QCoreApplication::processEvents();
            const auto start = Clock::now();
            list->setCurrentRow(i);
            const auto clicked = Clock::now();
            QCoreApplication::processEvents();
            const auto painted = Clock::now();
            handler.push_back(Ms(clicked - start));
            withPaint.push_back(Ms(painted - start));
        }
    std::printf("races %d, rounds %d\n", list->count(), kRounds);
    Print("List1_Click", handler);
    Print("List1_Click and repaint", withPaint);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

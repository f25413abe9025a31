#include "steps.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

#include "acquisition/breaking_odds.h"
#include "acquisition/download_starter.h"
#include "acquisition/fetch_messages.h"
#include "acquisition/odds_tables.h"
#include "acquisition/race_cancellation.h"
#include "acquisition/structure_building.h"
#include "acquisition/week_odds_fetch.h"
#include "acquisition/weekly_fetch.h"
#include "common/error_log.h"
#include "dataservice/local_jvlink.h"
#include "engine/computation.h"
#include "engine/day_before_fix.h"
#include "history/atari_list.h"
#include "history/index_rebuild.h"
#include "history/meeting_scan.h"
#include "history/past_results.h"
#include "common/working_folders.h"
#include "workbench/batch_log.h"
#include "workbench/breaking_payouts.h"
#include "workbench/weekly_batch.h"
#include "writers/race_writers.h"

namespace weekrun {

namespace {

// Follows a download the way the progress window does, without a window: polls the status until
// it reaches the download count; a negative status is reported and the reads go on.
void FollowDownload(acquisition::DownloadStarter& starter) {
    using namespace std::chrono;
    auto lastProgress = steady_clock::now();
    int last = -1;
    for (;;) {
        const int status = starter.JVLink1.JVStatus();
        if (status < 0) {
            starter.host.messageBox(std::string(acquisition::kDownloadFailed) + std::to_string(status));
            return;
        }
        if (status >= starter.DownloadCount) {
            starter.DialogResult = acquisition::kDownloadDone;
            return;
        }
        if (status != last) {
            last = status;
            lastProgress = steady_clock::now();
        } else if (steady_clock::now() - lastProgress > minutes(1)) {
            // Nothing moved for a minute: give up like a user pressing cancel. Unlike a user's
            // cancel this is a failure of the run.
            common::LogError("FollowDownload", "the download did not move for a minute: cancelled");
            starter.JVLink1.JVCancel();
            starter.DialogResult = acquisition::kDownloadCancelled;
            starter.host.messageBox("download stalled: cancelled");
            return;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
}

// What a window that fetches owns: its own control, download count and result flag.
struct Fetcher {
    explicit Fetcher(ConsoleHost& host, std::size_t keptBytes = 0)
        : link(dataservice::LocalJVLink::Config{Options().settingsFile, {}, {}, keptBytes}),
          starter{link, downloadCount, dialogResult, host} {}
    dataservice::LocalJVLink link;
    std::int32_t downloadCount = 0;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter;
};

// The status box of a step's own window, which the step's core call writes through a callback.
auto Printer(ConsoleHost& host, std::string_view box) {
    return [&host, box](std::string_view text) { host.ShowInWindow(box, text); };
}

// How the step ended: the last text of `box`, compared with the step's plain success text.
StepOutcome EndedWith(const ConsoleHost& host, std::string_view box, std::string_view plainText) {
    std::string text = host.LastText(box);
    const bool plain = text == plainText;
    return {std::move(text), plain};
}

}  // namespace

RunOptions& Options() {
    static RunOptions options;
    return options;
}

const std::vector<Step>& Steps() {
    using common::StatusBox;
    static const std::vector<Step> steps = {
        {"fetch", "this week's records from the data service (button ①)",
         [](ConsoleHost& host) {
             Fetcher f(host);
             acquisition::FetchThisWeek(f.starter, FollowDownload);
             return EndedWith(host, BoxName(StatusBox::Text1), acquisition::kFetchEndText);
         }},
        {"structures", "sorted race and runner files, horse lists, per-horse run files (button ②)",
         [](ConsoleHost& host) {
             const acquisition::StructureSummary built = acquisition::BuildWeekStructures(host);
             // The plain text carries the record count: the text of a build that passed nothing over.
             acquisition::StructureSummary clean;
             clean.horseRecords = built.horseRecords;
             return EndedWith(host, BoxName(StatusBox::Text4),
                              acquisition::StructureEndText(built.horseRecords, clean));
         }},
        {"cancel", "race cancellation from the breaking news of the newest dates (② with its option)",
         [](ConsoleHost& host) {
             Fetcher f(host);
             acquisition::ApplyRaceCancellations(f.link, host, Printer(host, "Cancel Text1"));
             return EndedWith(host, "Cancel Text1", acquisition::kCancellationEndText);
         }},
        {"dayfix", "day-before fix: weather, going, body weight and jockey not yet known (button ④)",
         [](ConsoleHost& host) {
             engine::FixPreviousDay(host, {Printer(host, "Expansion Text1"), {}});
             return EndedWith(host, "Expansion Text1", engine::kDayBeforeFixDone);
         }},
        {"compute", "expanded past runs and predicted speeds of every runner (button ⑤)",
         [](ConsoleHost& host) {
             engine::RunComputation(host, {Printer(host, "Expansion Text3"), {}, {}});
             return EndedWith(host, "Expansion Text3", engine::kComputationDone);
         }},
        {"batch", "the weekly prediction batch; prints the race list (button ⑥)",
         [](ConsoleHost& host) {
             common::CreateWorkingFolders(workbench::kBatchStep);
             host.setStatus(StatusBox::Text5, workbench::kBatchStartText);
             host.pumpEvents();
             const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, writers::kRaceWriters);
             host.setStatus(StatusBox::Text5, workbench::BatchEndText(batch));
             for (const std::string& line : batch.RaceListLines) host.Data() << line << '\n';
             return EndedWith(host, BoxName(StatusBox::Text5), workbench::kBatchDoneText);
         }},
        {"past-scan", "stored days in TEKICHU and the day-key list; prints the day list (past-results window)",
         [](ConsoleHost& host) {
             // The main menu's texts around the past-results window, whose load is this and the next step.
             host.setStatus(StatusBox::Text6, history::kPastResultsStartText);
             const history::PastDayList days = history::ScanTekichuDays(host);
             for (const std::string& line : days.lines) host.Data() << line << '\n';
             host.setStatus(StatusBox::Text6, history::PastResultsEndText(days.passedOver, days.unfinishedInputs));
             return EndedWith(host, BoxName(StatusBox::Text6), history::PastResultsEndText(0));
         }},
        {"index-rebuild", "the outside program's index in SOKUDO from the listed days' result reports (past-results window)",
         [](ConsoleHost& host) {
             host.setStatus(StatusBox::Text6, history::kPastResultsStartText);
             const history::IndexRebuild rebuild = history::RebuildSokudoFiles(host);
             host.setStatus(StatusBox::Text6, history::PastResultsEndText(rebuild.passedOver, rebuild.unfinishedInputs));
             return EndedWith(host, BoxName(StatusBox::Text6), history::PastResultsEndText(0));
         }},
        {"hit-list", "every past hit into TEKICHU/ATARILIST.txt; prints the big-payout rows, cells by tabs (big-payout window)",
         [](ConsoleHost& host) {
             host.setStatus(StatusBox::Text6, history::kAtariListStartText);
             host.pumpEvents();
             const history::AtariList list = history::CollectAtariList(host, [&host] { host.pumpEvents(); });
             const common::GridCells& grid = list.tekichuFG;
             for (int row = 1; row <= list.bigPayouts && row < grid.Rows(); ++row) {
                 for (int col = 0; col < grid.Cols(); ++col) host.Data() << (col > 0 ? "\t" : "") << grid.Text(row, col);
                 host.Data() << '\n';
             }
             host.setStatus(StatusBox::Text6, history::AtariListEndText(list.passedOver, list.unfinishedInputs));
             return EndedWith(host, BoxName(StatusBox::Text6), history::AtariListEndText(0));
         }},
        {"odds", "this week's quinella, exacta, trio and trifecta odds (odds window)",
         [](ConsoleHost& host) {
             Fetcher f(host, acquisition::kWeekOddsKeptBytes);
             acquisition::FetchWeekOdds(f.starter, FollowDownload, Printer(host, "Odds Text1"));
             const StepOutcome odds = EndedWith(host, "Odds Text1", acquisition::kWeekOddsDone);
             acquisition::FetchWeekTrifectaOdds(f.starter, FollowDownload, Printer(host, "Odds Text1"));
             // Two fetches, each with its own end text: the first one that is not plain tells.
             if (!odds.plain) return odds;
             return EndedWith(host, "Odds Text1", acquisition::kWeekTrifectaDone);
         }},
        {"breaking-odds", "breaking odds of the newest races (breaking-news window)",
         [](ConsoleHost& host) {
             Fetcher f(host);
             acquisition::FetchBreakingOdds(f.link, host, Printer(host, "Breaking Text1"));
             return EndedWith(host, "Breaking Text1", acquisition::kBreakingOddsDone);
         }},
        {"breaking-payouts", "breaking win odds and results merged into the runner files (Ⅲ of the breaking-news window)",
         [](ConsoleHost& host) {
             // What Ⅲ does around the breaking-payouts window's load.
             Fetcher f(host);
             const auto text1 = Printer(host, "Breaking Text1");
             text1(acquisition::kBreakingPayoutsStart);
             host.pumpEvents();
             const workbench::BreakingPayoutsSummary s = workbench::MergeBreakingResults(f.link, host);
             text1(workbench::BreakingPayoutsEndText(s));
             return EndedWith(host, "Breaking Text1", workbench::BreakingPayoutsEndText(workbench::BreakingPayoutsSummary{}));
         }},
        {"odds-tables", "odds tables in KAIME from the odds source (--odds-source 0 or 1)",
         [](ConsoleHost& host) {
             // The main menu's "オッズ処理" (source 0, Text2) or Ⅳ (source 1, Text3).
             const bool breaking = Options().oddsSource == acquisition::kOddsSourceBreaking;
             const StatusBox box = breaking ? StatusBox::Text3 : StatusBox::Text2;
             host.setStatus(box, breaking ? acquisition::kBreakingOddsTablesStart : acquisition::kWeekOddsTablesStart);
             acquisition::OddsSource = Options().oddsSource;
             const auto built = acquisition::BuildOddsTables(Options().oddsSource);
             host.setStatus(box, acquisition::OddsTablesEndText(Options().oddsSource, built));
             return EndedWith(host, BoxName(box),
                              breaking ? acquisition::kBreakingOddsTablesEnd : acquisition::kWeekOddsTablesEnd);
         }},
    };
    return steps;
}

const Step* FindStep(std::string_view name) {
    for (const auto& s : Steps())
        if (s.name == name) return &s;
    return nullptr;
}

}  // namespace weekrun

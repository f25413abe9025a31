#include "acquisition/week_odds_fetch.h"

#include <string>
#include <vector>

#include "acquisition/odds_line_file.h"
#include "acquisition/stored_fetch.h"
#include "common/error_log.h"

namespace acquisition {

namespace {

// The two odds fetches differ only in these.
struct WeekOddsFetch {
    std::string_view step;
    std::string_view sid;
    std::vector<OddsKind> kinds;
    std::string_view doneText;
};

void RunWeekOddsFetch(DownloadStarter& starter, const ProgressRunner& runProgress, const StatusText& setText1,
                      const WeekOddsFetch& odds) {
    const std::string_view step = odds.step;
    StoredFetch fetch;
    fetch.step = step;
    fetch.sid = odds.sid;
    fetch.dataspec = kWeekOddsDataSpec;
    // A file marked damaged (-402) is reported like any read error; only -403 is repaired.
    fetch.repairs = kRepairCorruptOnly;
    // Emptied first, so that the files hold this fetch only, whatever the data service says.
    OddsLineWriter writer(OddsStem::ThisWeek, odds.kinds, std::string(step));
    common::PassOver(step, [&] {
        RunStoredFetch(starter, runProgress, fetch, [&](std::string_view record, std::string_view) { writer.Append(record); });
    });
    common::PassOver(step, [&] { starter.JVLink1.JVClose(); });
    writer.Close();
    common::PassOver(step, [&] {
        if (setText1) setText1(odds.doneText);
    });
}

}  // namespace

void FetchWeekOdds(DownloadStarter& starter, const ProgressRunner& runProgress, const StatusText& setText1) {
    RunWeekOddsFetch(starter, runProgress, setText1,
                     {"FetchWeekOdds", kWeekOddsSid, {OddsKind::O2, OddsKind::O4, OddsKind::O5}, kWeekOddsDone});
}

void FetchWeekTrifectaOdds(DownloadStarter& starter, const ProgressRunner& runProgress,
                           const StatusText& setText1) {
    RunWeekOddsFetch(starter, runProgress, setText1,
                     {"FetchWeekTrifectaOdds", kWeekTrifectaSid, {OddsKind::O6}, kWeekTrifectaDone});
}

}  // namespace acquisition

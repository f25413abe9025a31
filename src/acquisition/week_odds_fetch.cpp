#include "acquisition/week_odds_fetch.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/fetch_messages.h"
#include "acquisition/message_note.h"
#include "acquisition/scratch_file.h"
#include "acquisition/stored_fetch.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/text_file.h"

namespace acquisition {

namespace {

// The two odds fetches differ only in these.
struct WeekOddsFetch {
    std::string_view step;
    common::MarkedStep mark;
    std::string_view sid;
    std::vector<OddsKind> kinds;
    std::string_view doneText;
    std::string_view cancelledText;
    std::string_view failedText;
};

// One kind's odds file, written through its scratch file. The scratch file opens at the kind's
// first record, so that a kind the service does not bring leaves nothing behind and its odds
// file as it was.
struct KindFile {
    KindFile(std::string_view step, OddsKind k) : kind(k), file(step, OddsLineFilePath(k, OddsStem::ThisWeek)) {}
    OddsKind kind;
    ScratchFile<common::TextAppender> file;
    std::int64_t records = 0;
};

class WeekOddsFiles {
public:
    WeekOddsFiles(std::string_view step, const std::vector<OddsKind>& kinds) : step_(step) {
        for (OddsKind kind : kinds) files_.push_back(std::make_unique<KindFile>(step, kind));
    }

    /// Writes a record of a kind kept here; other kinds are skipped.
    void Append(std::string_view record) {
        const auto kind = OddsKindOf(record);
        if (!kind) return;
        const auto found = std::ranges::find(files_, *kind, [](const auto& f) { return f->kind; });
        if (found == files_.end()) return;
        KindFile& f = **found;
        if (f.records++ == 0) common::PassOver(step_, [&] { f.file.Open(); });
        f.file.Append([&](common::TextAppender& out) { WriteOddsLine(out, record); });
    }

    void CloseAll() {
        for (auto& f : files_) common::PassOver(step_, [&] { f->file.Close(); });
    }
    /// True when every kind that came was written whole.
    bool Sound() const {
        return std::ranges::all_of(files_, [](const auto& f) { return f->records == 0 || f->file.Sound(); });
    }
    bool AnyRecord() const {
        return std::ranges::any_of(files_, [](const auto& f) { return f->records > 0; });
    }
    /// Every kind that came in place of its odds file; each rename is its own sub-step. The kinds
    /// that did not come are returned. `replaced` is false when a rename failed.
    std::vector<OddsKind> ReplaceAll(bool& replaced) {
        std::vector<OddsKind> without;
        replaced = true;
        for (auto& f : files_) {
            if (f->records == 0) without.push_back(f->kind);
            else replaced = common::PassOver(step_, [&] { f->file.Replace(); }) && replaced;
        }
        return without;
    }
    void DiscardAll() {
        for (auto& f : files_)
            if (f->records > 0) common::PassOver(step_, [&] { f->file.Discard(); });
    }
    std::vector<OddsKind> Kinds() const {
        std::vector<OddsKind> kinds;
        for (const auto& f : files_) kinds.push_back(f->kind);
        return kinds;
    }

private:
    std::string_view step_;
    std::vector<std::unique_ptr<KindFile>> files_;
};

WeekOddsSummary RunWeekOddsFetch(DownloadStarter& starter, const ProgressRunner& runProgress,
                                 const StatusText& setText1, const WeekOddsFetch& odds) {
    const std::string_view step = odds.step;
    WeekOddsFiles files(step, odds.kinds);
    MessageNote note(starter.host);
    DownloadStarter noted{starter.JVLink1, starter.DownloadCount, starter.DialogResult, note};
    bool cancelled = false;
    const ProgressRunner followed = [&](DownloadStarter& s) {
        if (runProgress) runProgress(s);
        cancelled = s.DialogResult == kDownloadCancelled;
    };
    StoredFetch fetch;
    fetch.step = step;
    fetch.sid = odds.sid;
    fetch.dataspec = kWeekOddsDataSpec;
    // A file marked damaged (-402) is reported like any read error; only -403 is repaired.
    fetch.repairs = kRepairCorruptOnly;
    // Of the race history read twice over, only the odds records are kept.
    fetch.viewRecords = true;
    bool readToEnd = false;
    const long long passedOverBefore = starter.JVLink1.RecordsPassedOver();
    const bool ran = common::PassOver(step, [&] {
        readToEnd = RunStoredFetch(noted, followed, fetch, [&](std::string_view record, std::string_view) { files.Append(record); });
    });
    files.CloseAll();
    common::PassOver(step, [&] { starter.JVLink1.JVClose(); });

    WeekOddsSummary summary;
    std::string reason;
    // A damaged record the data service passed over may have been odds: the odds are not whole.
    const long long damaged = starter.JVLink1.RecordsPassedOver() - passedOverBefore;
    Replacement replaced = Replacement::Whole;
    // The service had nothing for this week: no kind came, as with reads that bring none.
    const bool nothingToRead = ran && !readToEnd && !cancelled && note.Last() == kNoData && !files.AnyRecord();
    if (ran && readToEnd && damaged == 0 && files.Sound()) {
        std::vector<OddsKind> without;
        replaced = ReplaceUnderMark(step, odds.mark, [&] {
            bool all = false;
            without = files.ReplaceAll(all);
            return all;
        });
        if (replaced == Replacement::NotMarked) files.DiscardAll();
        if (replaced == Replacement::Whole || replaced == Replacement::MarkLeft) {
            summary.outcome = WeekOddsOutcome::Done;
            summary.withoutOdds = std::move(without);
            summary.markLeft = replaced == Replacement::MarkLeft;
        } else {
            reason = ReplacementFailure(replaced, odds.mark, "odds");
        }
    } else if (nothingToRead) {
        summary.outcome = WeekOddsOutcome::Done;
        summary.withoutOdds = files.Kinds();
    } else {
        files.DiscardAll();
        if (ran && cancelled) summary.outcome = WeekOddsOutcome::Cancelled;
        else if (ran && readToEnd && damaged > 0)
            reason = std::to_string(damaged) + " damaged records passed over by the data service (see above): the odds files were kept";
        else if (ran && readToEnd) reason = "not every record could be written (see above): the odds files were kept";
        else if (note.Last().empty()) reason = "the fetch did not end normally: the odds files were kept";
        else reason = "the fetch ended with \"" + note.Last() + "\": the odds files were kept";
    }

    switch (summary.outcome) {
        case WeekOddsOutcome::Done: {
            std::vector<std::string> parts = MarkLeftParts(replaced);
            for (OddsKind kind : summary.withoutOdds) {
                const std::string file = OddsLineFileName(kind, OddsStem::ThisWeek);
                common::LogError(step, "no " + std::string(OddsKindTag(kind)) + " odds came: " + file + " was kept");
                parts.push_back(NoOddsPart(kind));
            }
            summary.endText = std::string(odds.doneText) + common::PassedOverNote(parts);
            break;
        }
        case WeekOddsOutcome::Cancelled: summary.endText = odds.cancelledText; break;
        case WeekOddsOutcome::Failed:
            common::LogError(step, reason);
            summary.endText = odds.failedText;
            break;
    }
    common::PassOver(step, [&] {
        if (setText1) setText1(summary.endText);
    });
    return summary;
}

}  // namespace

WeekOddsSummary FetchWeekOdds(DownloadStarter& starter, const ProgressRunner& runProgress, const StatusText& setText1) {
    return RunWeekOddsFetch(starter, runProgress, setText1,
                            {"FetchWeekOdds", common::MarkedStep::OddsFetch, kWeekOddsSid, {OddsKind::O2, OddsKind::O4, OddsKind::O5}, kWeekOddsDone,
                             kWeekOddsCancelled, kWeekOddsFailed});
}

WeekOddsSummary FetchWeekTrifectaOdds(DownloadStarter& starter, const ProgressRunner& runProgress,
                                      const StatusText& setText1) {
    return RunWeekOddsFetch(starter, runProgress, setText1,
                            {"FetchWeekTrifectaOdds", common::MarkedStep::TrifectaFetch, kWeekTrifectaSid, {OddsKind::O6}, kWeekTrifectaDone,
                             kWeekTrifectaCancelled, kWeekTrifectaFailed});
}

}  // namespace acquisition

#include "acquisition/race_cancellation.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "acquisition/fetch_messages.h"
#include "acquisition/recent_races.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

using records::LayoutRA;
using records::LayoutSE;
using records::RecordView;

constexpr std::string_view kStep = kCancellationStep;

// Year, JyoCD, Kaiji, Nichiji and RaceNum: the race whatever its date field says, so a race whose
// breaking record carries another MonthDay (a postponed race) is still found.
template <class L>
std::string RaceMatchKey(RecordView<L> record) {
    std::string key;
    key.reserve(14);
    key.append(record.Get(records::kYear<L>));
    key.append(record.Get(records::kJyoCD<L>));
    key.append(record.Get(records::kKaiji<L>));
    key.append(record.Get(records::kNichiji<L>));
    key.append(record.Get(records::kRaceNum<L>));
    return key;
}

std::string MatchKeyOf(RecordView<LayoutRA> race) { return RaceMatchKey(race); }
std::string MatchKeyOf(RecordView<LayoutSE> runner) {
    std::string key = RaceMatchKey(runner);
    key.append(runner.Get(records::se::Umaban));
    return key;
}

// The breaking files of one fetch: each record decoded, packed and appended at count + 1, one open
// and close per record, as the breaking-payouts window appends to the same files. A record that
// cannot be written is counted; the first reason is logged at once, the count when the date ends.
class BreakingFiles {
public:
    explicit BreakingFiles(CancellationSummary& summary) : summary_(summary) {}

    void Keep(std::string_view bytes) {
        const std::string_view spec = records::RecordSpecOf(bytes);
        if (spec == "RA") {
            records::DecodeRA(bytes, ra_);
            records::PackRecordRA(ra_, storedRa_);
            if (Append(raFile_, storedRa_)) ++summary_.raAppended;
        } else if (spec == "SE") {
            records::DecodeSE(bytes, se_);
            records::PackRecordSE(se_, storedSe_);
            if (Append(seFile_, storedSe_)) ++summary_.seAppended;
        } else if (spec == "HR") {
            records::DecodeHR(bytes, hr_);
            records::PackRecordHR(hr_, storedHr_);
            if (Append(hrFile_, storedHr_)) ++summary_.hrAppended;
        } else {
            ++summary_.otherSkipped;
        }
    }

    /// Records that could not be written since the last call (logged).
    std::int64_t TakeLost() {
        const std::int64_t lost = lost_;
        if (lost > 0) common::LogError(kStep, std::to_string(lost) + " breaking records not written");
        lost_ = 0;
        return lost;
    }

private:
    template <class File, class Stored>
    bool Append(const File& file, const Stored& record) {
        try {
            file.Append(record);
            return true;
        } catch (const std::exception& e) {
            if (lost_++ == 0) common::LogError(kStep, e.what());
        }
        return false;
    }

    CancellationSummary& summary_;
    records::RecordRA ra_;
    records::RecordSE se_;
    records::RecordHR hr_;
    records::StoredRA storedRa_;
    records::StoredSE storedSe_;
    records::StoredHR storedHr_;
    records::WeekFileRA raFile_{common::AppPath(records::kRaRealtime)};
    records::WeekFileSE seFile_{common::AppPath(records::kSeRealtime)};
    records::WeekFileHR hrFile_{common::AppPath(records::kHrRealtime)};
    std::int64_t lost_ = 0;
};

// Closes the breaking open on every way out of a date's fetch.
class CloseOnExit {
public:
    explicit CloseOnExit(dataservice::JVLink& link) : link_(link) {}
    ~CloseOnExit() { link_.JVClose(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    dataservice::JVLink& link_;
};

// The reads of one open, to 0 or -203. False when they ended otherwise (logged).
bool ReadDate(dataservice::JVLink& link, const std::string& date, BreakingFiles& files) {
    std::string buff(static_cast<std::size_t>(kReadBufferSize), '\0');
    int size = kReadBufferSize;
    std::string fileName;
    long readsWithoutRecord = 0;
    for (long reads = 1; reads <= kMaxCancellationReadsPerDate; ++reads) {
        const int rc = link.JVRead(buff, size, fileName);
        if (rc > 0) {
            readsWithoutRecord = 0;
            // Only the bytes this read delivered: the buffer may hold more from an earlier one.
            files.Keep(std::string_view(buff).substr(0, std::min(static_cast<std::size_t>(rc), buff.size())));
            continue;
        }
        if (rc == dataservice::kRcEnd || rc == dataservice::kRcNothingMoreForDate) return true;
        // -1 and every error code: read again, since a code the service gives while it is still
        // busy can be followed by records. The bound keeps an error that stays from holding the step.
        if (++readsWithoutRecord <= kMaxCancellationReadsWithoutRecord) continue;
        common::LogError(kStep, "reads of " + date + " stopped after " +
                                    std::to_string(kMaxCancellationReadsWithoutRecord) +
                                    " reads without a record, the last RC=" + std::to_string(rc));
        return false;
    }
    common::LogError(kStep, "reads of " + date + " stopped after " + std::to_string(kMaxCancellationReadsPerDate) +
                                " reads");
    return false;
}

// One date's breaking connection. False when a part of it failed (reported or logged).
bool FetchDate(dataservice::JVLink& link, common::Host& host, const std::string& date, BreakingFiles& files) {
    const int init = link.JVInit(kCancellationSid);
    if (init != dataservice::kRcOk) host.messageBox(std::string(kJVInitError) + std::to_string(init));
    CloseOnExit close(link);
    const int open = link.JVRTOpen(kCancellationDataSpec, date);
    bool ok = true;
    if (open == dataservice::kRcNoData) {
        // Nothing was published for this date: no reads.
    } else if (open < 0) {
        common::LogError(kStep, "JVRTOpen " + std::string(kCancellationDataSpec) + " " + date +
                                    " RC=" + std::to_string(open));
        ok = false;
    } else {
        ok = ReadDate(link, date, files);
    }
    if (files.TakeLost() > 0) ok = false;
    return ok;
}

// Bytes of a record file, whole records only being looked at by the callers. A file that is there
// and cannot be read throws.
std::string FileBytes(std::string_view name) { return common::ReadWholeFile(common::AppPath(name)); }

// Writes every "9" record of the breaking file over each record of the full copy with the same
// match key; the full copy keeps its length. Returns the records overwritten.
template <class L>
std::int64_t MarkCancelled(std::string_view breakingName, std::string_view fullName) {
    constexpr std::size_t length = static_cast<std::size_t>(records::kLength<L>);
    const std::string breaking = FileBytes(breakingName);
    std::unordered_map<std::string, std::string_view> cancelled;
    std::string buffer;
    for (std::size_t at = 0; at + length <= breaking.size(); at += length) {
        const std::string_view record = std::string_view(breaking).substr(at, length);
        const RecordView<L> view(RecordAsRead(record, buffer));
        if (view.Get(records::kDataKubun<L>) != "9") continue;
        cancelled[MatchKeyOf(view)] = record;  // a later one of the same key wins
    }
    if (cancelled.empty()) return 0;

    const fs::path fullPath = common::AppPath(fullName);
    std::string full = common::ReadWholeFile(fullPath);
    std::int64_t marked = 0;
    for (std::size_t at = 0; at + length <= full.size(); at += length) {
        const std::string key = MatchKeyOf(RecordView<L>(RecordAsRead(std::string_view(full).substr(at, length), buffer)));
        const auto found = cancelled.find(key);
        if (found == cancelled.end()) continue;
        // Every record of the race, not only the first: the full copy holds one per data kind,
        // and a kind left unmarked would keep the race in the working copy.
        full.replace(at, length, found->second);
        ++marked;
    }
    if (marked > 0) common::WriteFileAtomically(fullPath, full, common::AppPath(records::kTemporary));
    return marked;
}

// The working copy: the full copy's records of every data kind but "1" and "9", in order, written
// through the scratch file so that a failure leaves the old working copy whole.
template <class L>
std::int64_t RebuildWorkingCopy(std::string_view fullName, std::string_view workingName) {
    constexpr std::size_t length = static_cast<std::size_t>(records::kLength<L>);
    const fs::path fullPath = common::AppPath(fullName);
    std::error_code ec;
    if (!fs::is_regular_file(fullPath, ec))
        throw std::runtime_error(fullPath.string() + " is missing: " + std::string(workingName) + " is left as it is");
    const std::string full = common::ReadWholeFile(fullPath);
    std::string kept;
    kept.reserve(full.size());
    std::int64_t count = 0;
    std::string buffer;
    for (std::size_t at = 0; at + length <= full.size(); at += length) {
        const std::string_view record = std::string_view(full).substr(at, length);
        const std::string_view kind = RecordView<L>(RecordAsRead(record, buffer)).Get(records::kDataKubun<L>);
        if (kind == "1" || kind == "9") continue;
        kept.append(record);
        ++count;
    }
    common::WriteFileAtomically(common::AppPath(workingName), kept, common::AppPath(records::kTemporary));
    return count;
}

}  // namespace

CancellationSummary ApplyRaceCancellations(dataservice::JVLink& link, common::Host& host,
                                           const std::function<void(std::string_view)>& setText1) {
    CancellationSummary summary;
    auto text = [&](std::string_view t) {
        if (setText1) common::PassOver(kStep, [&] { setText1(t); });
    };
    // One part: a failure is logged and counted, and the next part runs.
    auto part = [&](auto&& work) {
        if (!common::PassOver(kStep, work)) ++summary.failures;
    };

    text(kCancellationStartText);
    host.pumpEvents();

    bool datesRead = false;
    part([&] {
        summary.dates = RecentRaceDates(common::AppPath(records::kRaThisWeekNew));
        datesRead = true;
    });
    if (datesRead && summary.dates.empty()) {
        // No race this week: there is nothing to ask for and nothing to take out. Structure
        // building has not run, or had nothing to sort.
        common::InputCheck inputs(kStep, common::InputCheck::Need::Every);
        inputs.Note(common::AppPath(records::kRaThisWeekNew), false);
        host.messageBox(kNoData);
        text(std::string(kCancellationNoInputStem) + common::PassedOverNote({std::string(inputs.Report())}));
        summary.outcome = CancellationOutcome::NoRaces;
        return summary;
    }

    BreakingFiles files(summary);
    for (const std::string& date : summary.dates)
        part([&] {
            if (!FetchDate(link, host, date, files)) ++summary.failures;
        });

    part([&] { summary.raceRecordsMarked = MarkCancelled<LayoutRA>(records::kRaRealtime, records::kRaThisWeekNewD); });
    part([&] { summary.races = RebuildWorkingCopy<LayoutRA>(records::kRaThisWeekNewD, records::kRaThisWeekNew); });
    part([&] { summary.runnerRecordsMarked = MarkCancelled<LayoutSE>(records::kSeRealtime, records::kSeThisWeekNewD); });
    part([&] { summary.runners = RebuildWorkingCopy<LayoutSE>(records::kSeThisWeekNewD, records::kSeThisWeekNew); });
    part([&] {
        summary.runFiles = RebuildHorseRunFiles(host, kStep);
        summary.failures += summary.runFiles.horsesPassedOver;  // each logged by the rebuild
    });

    summary.outcome = summary.failures > 0 ? CancellationOutcome::Incomplete : CancellationOutcome::Done;
    text(summary.outcome == CancellationOutcome::Done ? kCancellationEndText : kCancellationIncompleteText);
    return summary;
}

}  // namespace acquisition

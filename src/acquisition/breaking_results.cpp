#include "acquisition/breaking_results.h"

#include <algorithm>
#include <exception>
#include <string>

#include "acquisition/fetch_messages.h"
#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/record_check.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace {

// The breaking files of one fetch: each record decoded, packed and appended at count + 1, one open
// and close per record, so that every record is on disk as soon as it has been read. A record that
// cannot be written is cut back off its file, so that the file never ends in a torn record, and
// counted; the first reason of each file is logged at once, each file's count when the date ends.
class BreakingFiles {
public:
    BreakingFiles(BreakingResultCounts& summary, std::string_view step) : summary_(summary), step_(step) {}

    /// Starts the records of a date's reads (`source` names them in the log).
    void Begin(std::string_view source) {
        source_.assign(source);
        recordInSource_ = 0;
    }

    void Keep(std::string_view bytes) {
        ++recordInSource_;
        const std::string_view spec = records::RecordSpecOf(bytes);
        if (spec == "RA") {
            if (!Whole<records::LayoutRA>(bytes)) return;
            records::DecodeRA(bytes, ra_);
            records::PackRecordRA(ra_, storedRa_);
            if (Append(raFile_, storedRa_, raTail_, raLost_)) ++summary_.raAppended;
        } else if (spec == "SE") {
            if (!Whole<records::LayoutSE>(bytes)) return;
            records::DecodeSE(bytes, se_);
            records::PackRecordSE(se_, storedSe_);
            if (Append(seFile_, storedSe_, seTail_, seLost_)) ++summary_.seAppended;
        } else if (spec == "HR") {
            if (!Whole<records::LayoutHR>(bytes)) return;
            records::DecodeHR(bytes, hr_);
            records::PackRecordHR(hr_, storedHr_);
            if (Append(hrFile_, storedHr_, hrTail_, hrLost_)) ++summary_.hrAppended;
        } else {
            ++summary_.otherSkipped;
        }
    }

    /// Records that could not be written since the last call (logged).
    std::int64_t TakeLost() { return TakeLost(raFile_, raLost_) + TakeLost(seFile_, seLost_) + TakeLost(hrFile_, hrLost_); }

private:
    // A delivered record that is not whole is passed over, logged and counted, never stored.
    template <class L>
    bool Whole(std::string_view bytes) {
        const records::RecordFault fault = records::CheckRecord<L>(bytes);
        if (fault == records::RecordFault::None) return true;
        ++summary_.passedOver;
        common::LogError(step_, source_ + " record " + std::to_string(recordInSource_) + ": " +
                                    records::FaultReason(fault, L::kName, records::kLength<L>, bytes) + ": passed over");
        return false;
    }

    // Whether records may follow the file's own (checked once per fetch). A file whose records
    // are shifted is left as it is: what is appended would stand after bytes read out of line. A
    // torn tail after whole records is cut off first, through a rewrite of the whole records
    // (logged): the record it held is not whole, and the next would be written over part of it.
    enum class Tail : std::uint8_t { Unchecked, Whole, Refused };
    template <class L>
    bool MayAppend(const records::WeekRecordFile<L>& file, Tail& tail) {
        constexpr auto length = static_cast<std::size_t>(records::kLength<L>);
        if (tail != Tail::Unchecked) return tail == Tail::Whole;
        tail = Tail::Refused;
        const common::RecordFile& stored = file.File();
        const std::uint64_t size = stored.Size();
        records::RecordFileCheck check(step_, file.Path(), L::kName, length, size);
        stored.ForEach([&](std::int64_t n, std::string_view bytes) { check.Sound(n, bytes); });
        check.Finish();
        summary_.passedOver += check.PassedOver();
        if (check.Stopped()) {
            common::LogError(step_, file.Path().string() + " holds shifted records: the breaking records are not appended to it");
            return false;
        }
        const std::uint64_t whole = static_cast<std::uint64_t>(stored.Count()) * length;
        if (size > whole) {
            file.RewriteFiltered([](records::RecordView<L>) { return true; });  // whole records only
            common::LogError(step_, file.Path().string() + ": its torn last record (" + std::to_string(size - whole) +
                                        " bytes) cut off before the breaking records are appended");
        }
        tail = Tail::Whole;
        return true;
    }

    template <class File, class Stored>
    bool Append(const File& file, const Stored& record, Tail& tail, std::int64_t& lost) {
        try {
            if (!MayAppend(file, tail)) {
                ++lost;
                return false;
            }
            // The appender cuts a write that failed back to the last whole record.
            common::RecordAppender out(file.Path(), static_cast<std::size_t>(File::kRecordLength), false);
            out.Append(record.Bytes());
            out.Close();
            return true;
        } catch (const std::exception& e) {
            if (lost++ == 0) common::LogError(step_, e.what());
        }
        return false;
    }

    template <class File>
    std::int64_t TakeLost(const File& file, std::int64_t& lost) {
        const std::int64_t taken = lost;
        if (taken > 0)
            common::LogError(step_, std::to_string(taken) + " breaking records not written to " + file.Path().string());
        lost = 0;
        return taken;
    }

    BreakingResultCounts& summary_;
    std::string_view step_;
    std::string source_;
    std::int64_t recordInSource_ = 0;
    records::RecordRA ra_;
    records::RecordSE se_;
    records::RecordHR hr_;
    records::StoredRA storedRa_;
    records::StoredSE storedSe_;
    records::StoredHR storedHr_;
    records::WeekFileRA raFile_{common::AppPath(records::kRaRealtime)};
    records::WeekFileSE seFile_{common::AppPath(records::kSeRealtime)};
    records::WeekFileHR hrFile_{common::AppPath(records::kHrRealtime)};
    std::int64_t raLost_ = 0, seLost_ = 0, hrLost_ = 0;
    Tail raTail_ = Tail::Unchecked, seTail_ = Tail::Unchecked, hrTail_ = Tail::Unchecked;
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
bool ReadDate(dataservice::JVLink& link, const std::string& date, BreakingFiles& files, std::string_view step) {
    std::string buff(static_cast<std::size_t>(kReadBufferSize), '\0');
    int size = kReadBufferSize;
    std::string fileName;
    long readsWithoutRecord = 0;
    int errorCode = 0;  // the last error the reads met: the records of that file are lost
    for (long reads = 1; reads <= kMaxBreakingResultReadsPerDate; ++reads) {
        const int rc = link.JVRead(buff, size, fileName);
        if (rc > 0) {
            readsWithoutRecord = 0;
            // Only the bytes this read delivered: the buffer may hold more from an earlier one.
            files.Keep(std::string_view(buff).substr(0, std::min(static_cast<std::size_t>(rc), buff.size())));
            continue;
        }
        if (rc == dataservice::kRcEnd || rc == dataservice::kRcNothingMoreForDate) {
            if (errorCode == 0) return true;
            common::LogError(step, "reads of " + date + " met RC=" + std::to_string(errorCode) + ": records may be missing");
            return false;
        }
        if (rc != dataservice::kRcNextFile) errorCode = rc;
        // -1 and every error code: read again, since a code the service gives while it is still
        // busy can be followed by records. The bound keeps an error that stays from holding the step.
        if (++readsWithoutRecord <= kMaxBreakingResultReadsWithoutRecord) continue;
        common::LogError(step, "reads of " + date + " stopped after " +
                                    std::to_string(kMaxBreakingResultReadsWithoutRecord) +
                                    " reads without a record, the last RC=" + std::to_string(rc));
        return false;
    }
    common::LogError(step, "reads of " + date + " stopped after " + std::to_string(kMaxBreakingResultReadsPerDate) +
                                " reads");
    return false;
}

// One date's breaking connection. False when a part of it failed (reported or logged).
bool FetchDate(dataservice::JVLink& link, common::Host& host, const std::string& date, BreakingFiles& files,
               std::string_view step) {
    const int init = link.JVInit(kBreakingResultsSid);
    if (init != dataservice::kRcOk) host.messageBox(std::string(kJVInitError) + std::to_string(init));
    CloseOnExit close(link);
    const int open = link.JVRTOpen(kBreakingResultsDataSpec, date);
    bool ok = true;
    if (open == dataservice::kRcNoData) {
        // Nothing was published for this date: no reads.
    } else if (open < 0) {
        common::LogError(step, "JVRTOpen " + std::string(kBreakingResultsDataSpec) + " " + date +
                                    " RC=" + std::to_string(open));
        ok = false;
    } else {
        files.Begin(std::string(kBreakingResultsDataSpec) + " " + date);
        ok = ReadDate(link, date, files, step);
    }
    if (files.TakeLost() > 0) ok = false;
    return ok;
}

}  // namespace

BreakingResultCounts FetchBreakingResultDates(dataservice::JVLink& link, common::Host& host,
                                              const std::vector<std::string>& dates, std::string_view step) {
    BreakingResultCounts counts;
    BreakingFiles files(counts, step);
    for (const std::string& date : dates) {
        // A date that fails is logged and counted; the next date still has its connection.
        if (!common::PassOver(step, [&] {
                if (!FetchDate(link, host, date, files, step)) ++counts.failures;
            }))
            ++counts.failures;
    }
    return counts;
}

}  // namespace acquisition

#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/layout.h"

// Record lengths are not taken on trust. Every record kind begins with its two-byte tag and ends
// in CR LF at a fixed length, so a few byte comparisons tell a whole record from a damaged one.
// In a file of fixed-length records, one without its line end means the bytes have moved: every
// record after it is shifted, and nothing after it is read.
namespace records {

/// What is wrong with one record.
enum class RecordFault : std::uint8_t {
    None,
    CutShort,   ///< fewer bytes than its kind has
    TooLong,    ///< more bytes than its kind has (two records run together)
    NoLineEnd,  ///< its last two bytes are not CR LF: in a file, the records after it are shifted
    WrongKind,  ///< its first two bytes are not its kind's tag
    Empty,      ///< zero bytes where the tag and the line end belong: a gap a later write left
};

/// The one check of a record: `bytes` is a record as delivered or as a file holds it, `kind` the
/// two-byte tag it must begin with (empty for records of a kind without a tag, such as the
/// supplied statistics), `length` its length (the stored length for a stored form).
/// Length first, then the line end, then the tag. Never allocates.
constexpr RecordFault CheckRecord(std::string_view bytes, std::string_view kind, std::size_t length) noexcept {
    if (bytes.size() < length || length < 4 || (kind.size() != 2 && !kind.empty())) return RecordFault::CutShort;
    if (bytes.size() > length) return RecordFault::TooLong;
    const char c1 = bytes[length - 2];
    const char c2 = bytes[length - 1];
    if (c1 != '\r' || c2 != '\n') {
        const bool gap = c1 == '\0' && c2 == '\0' && bytes[0] == '\0' && bytes[1] == '\0';
        return gap ? RecordFault::Empty : RecordFault::NoLineEnd;
    }
    if (!kind.empty() && (bytes[0] != kind[0] || bytes[1] != kind[1])) return RecordFault::WrongKind;
    return RecordFault::None;
}

/// The check against layout L: its tag (L::kName) and its length (the stored length for a stored
/// form).
template <class L>
constexpr RecordFault CheckRecord(std::string_view bytes) noexcept {
    return CheckRecord(bytes, L::kName, static_cast<std::size_t>(kLength<L>));
}

/// In a file of fixed-length records: true when the records after one with this fault no longer
/// stand where they belong.
constexpr bool ShiftsTheRest(RecordFault fault) noexcept { return fault == RecordFault::NoLineEnd; }

/// The fault of `record` in words for ERRORLOG.txt, with what tells it ("cut short: 300 of the
/// 719 bytes of HR").
std::string FaultReason(RecordFault fault, std::string_view kind, std::size_t length, std::string_view record);

/// The part of a step's end-text note (common::PassedOverNote) for damaged records it passed
/// over: "読み飛ばした壊れたレコード N 件".
std::string DamagedRecordsPart(std::int64_t count);

/// The length of a delivered record of this tag ("RA" 1272, "SE" 555, "HR" 719, "UM" 1609,
/// "KS" 4173, "O1" 962, "O2" 2042, "O4" 4031, "O5" 12293, "O6" 83285); 0 for a tag of no layout
/// the record layer knows.
std::size_t DeliveredLength(std::string_view kind) noexcept;

/// The damaged records that one reading step meets in one file of fixed-length records: each is
/// passed over and logged under the step with the file, its record number and what was wrong.
/// After a record without its line end, the rest of the file is shifted: it is not read, and
/// that is logged once. Bytes after the last whole record (a file cut inside a record, or bytes
/// added at its end) are not a record: they count as one damaged record and are logged.
/// Call Whole once per record, in file order from record 1, then Finish.
/// At most kLoggedRecordsPerFile records of a file are logged one by one; the count of the
/// others is logged when the check finishes.
class RecordFileCheck {
public:
    static constexpr int kLoggedRecordsPerFile = 20;

    /// `fileBytes`: the size of the file in bytes (its whole records are fileBytes / `length`).
    /// With `entries`, the entries go there instead of ERRORLOG.txt, for a caller that logs them
    /// under `step` itself; that caller calls Finish, since the destructor writes no entry into a
    /// list that may have moved away by then.
    RecordFileCheck(std::string_view step, std::filesystem::path file, std::string_view kind, std::size_t length,
                    std::uint64_t fileBytes, std::vector<std::string>* entries = nullptr);
    RecordFileCheck(const RecordFileCheck&) = delete;
    RecordFileCheck& operator=(const RecordFileCheck&) = delete;
    ~RecordFileCheck();

    /// True when record n may be read. False for a damaged record (logged), and for every record
    /// once the file has stopped (not looked at).
    bool Sound(std::int64_t n, std::string_view record) {
        if (stopped_) return false;
        const RecordFault fault = CheckRecord(record, std::string_view(kind_, kindSize_), length_);
        if (fault == RecordFault::None) return true;
        PassOver(n, record, fault);
        return false;
    }

    /// True once a record without its line end has stopped the reading of the file.
    bool Stopped() const { return stopped_; }

    /// Whole records the file holds (the records Whole is to be called for).
    std::int64_t Records() const { return records_; }

    /// Logs what is left to tell: the count of damaged records not logged one by one, and bytes
    /// after the last whole record. Call it once the records are read, before the entries are
    /// taken; the destructor calls it when nobody did (telling no failure of its own), but for
    /// `entries`.
    void Finish();

    /// Records of the file that were not read: the damaged ones and, after a stop, the rest.
    std::int64_t PassedOver() const { return passedOver_; }

private:
    void PassOver(std::int64_t n, std::string_view record, RecordFault fault);
    void Log(std::string entry) const;

    std::string step_;
    std::filesystem::path file_;
    char kind_[2];
    std::size_t kindSize_;  // 0 for records without a tag
    std::size_t length_;
    std::int64_t records_;
    std::vector<std::string>* entries_;
    bool stopped_ = false;
    std::int64_t passedOver_ = 0;
    std::int64_t logged_ = 0;
    std::int64_t unlogged_ = 0;
    std::uint64_t tailBytes_ = 0;
    bool finished_ = false;
};

/// Calls visit(n, record) for every whole record of `bytes` (the content of `file`, records of
/// layout L), in order; damaged records are passed over and logged under `step`, and at a
/// shifted record the rest of the bytes is left unread (`entries` as for RecordFileCheck).
/// Returns the records passed over.
template <class L, class Visit>
std::int64_t ForEachSoundRecord(std::string_view step, const std::filesystem::path& file, std::string_view bytes,
                                Visit&& visit, std::vector<std::string>* entries = nullptr) {
    constexpr auto length = static_cast<std::size_t>(kLength<L>);
    RecordFileCheck check(step, file, L::kName, length, bytes.size(), entries);
    for (std::int64_t n = 1; n <= check.Records() && !check.Stopped(); ++n) {
        const std::string_view record = bytes.substr(static_cast<std::size_t>(n - 1) * length, length);
        if (check.Sound(n, record)) visit(n, record);
    }
    check.Finish();
    return check.PassedOver();
}

/// The same over a file's whole records already cut apart (record n at index n - 1), for a
/// caller that holds them as views rather than as the file's bytes in one piece; `fileBytes` is
/// the size of the file they were cut from, so that a torn tail is told too.
template <class L, class Visit>
std::int64_t ForEachSoundRecord(std::string_view step, const std::filesystem::path& file,
                                std::span<const std::string_view> records, std::uint64_t fileBytes, Visit&& visit,
                                std::vector<std::string>* entries = nullptr) {
    RecordFileCheck check(step, file, L::kName, static_cast<std::size_t>(kLength<L>), fileBytes, entries);
    const auto count = std::min(check.Records(), static_cast<std::int64_t>(records.size()));
    for (std::int64_t n = 1; n <= count && !check.Stopped(); ++n) {
        const std::string_view record = records[static_cast<std::size_t>(n - 1)];
        if (check.Sound(n, record)) visit(n, record);
    }
    check.Finish();
    return check.PassedOver();
}

}  // namespace records

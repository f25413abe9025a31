#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_file.h"
#include "records/decoders.h"
#include "records/record_check.h"

// Files of stored records of one kind, without header or separator: record n (from 1) at bytes
// (n-1)*L+1 to n*L. The count rounds down, so a torn last record is not read; reading never
// creates the file; rewrites go through a scratch file and a rename, so a failure leaves the
// old file whole.
namespace records {

// The week's record files, in AppFolder.
inline constexpr std::string_view kRaThisWeek = "RATHISWEEKN.dat";
inline constexpr std::string_view kSeThisWeek = "SETHISWEEKN.dat";
inline constexpr std::string_view kUmThisWeek = "UMTHISWEEKN.dat";
inline constexpr std::string_view kKsThisWeek = "KSTHISWEEKN.dat";
inline constexpr std::string_view kHrThisWeek = "HRTHISWEEKN.dat";
inline constexpr std::string_view kRaThisWeekNew = "RATHISWEEKNNEW.dat";
inline constexpr std::string_view kRaThisWeekNewD = "RATHISWEEKNNEWd.dat";
inline constexpr std::string_view kSeThisWeekNew = "SETHISWEEKNNEW.dat";
inline constexpr std::string_view kSeThisWeekNewD = "SETHISWEEKNNEWd.dat";
inline constexpr std::string_view kUmThisWeekNew = "UMTHISWEEKNNEW.dat";
inline constexpr std::string_view kRaRealtime = "RARIALTIME.dat";
inline constexpr std::string_view kSeRealtime = "SERIALTIME.dat";
inline constexpr std::string_view kHrRealtime = "HRRIALTIME.dat";

/// The scratch file of a filtered rewrite, beside the file it rewrites.
inline constexpr std::string_view kTemporary = "TEMPORARY";

/// A week record file of layout L (a stored layout: LayoutRA, LayoutSE, LayoutHR, LayoutUM,
/// LayoutKSStored). File-system failures throw std::runtime_error naming the path.
template <class L>
class WeekRecordFile {
public:
    using Stored = StoredRecord<L>;
    static constexpr int kRecordLength = kLength<L>;

    explicit WeekRecordFile(std::filesystem::path path)
        : file_(std::move(path), static_cast<std::size_t>(kRecordLength)) {}

    const std::filesystem::path& Path() const { return file_.Path(); }

    /// Whole records in the file; 0 for a missing file.
    std::int64_t Count() const { return file_.Count(); }

    /// Reads record n into `out` (zero bytes of a gap read as blanks). False, leaving `out`
    /// as it was, for a number outside 1..Count().
    bool Read(std::int64_t n, Stored& out) const {
        if (n < 1) return false;
        const std::string bytes = file_.Read(n);
        if (bytes.size() < static_cast<std::size_t>(kRecordLength)) return false;
        ReadStored(bytes, out);
        return true;
    }

    /// Writes record n; writing past the end extends the file (records skipped read as zeros).
    void Write(std::int64_t n, const Stored& record) const { file_.Write(n, record.Bytes()); }

    /// Writes record Count() + 1 and returns its number.
    std::int64_t Append(const Stored& record) const { return file_.Append(record.Bytes()); }

    /// Calls visit(n, record) for every whole record in order, reading in large blocks. A damaged
    /// record is passed over and logged under `step` (RecordFileCheck); one without its line end
    /// ends the reading, since every record after it is shifted. The view lives for the call only;
    /// zero bytes read as blanks. Returns the records passed over.
    std::int64_t ForEach(std::string_view step,
                         const std::function<void(std::int64_t, RecordView<L>)>& visit) const {
        RecordFileCheck check(step, Path(), L::kName, static_cast<std::size_t>(kRecordLength), file_.Size());
        std::string buffer;
        // After a shifted record the check looks at no other record: the rest is read, not visited.
        file_.ForEach([&](std::int64_t n, std::string_view bytes) {
            if (check.Sound(n, bytes)) visit(n, RecordView<L>(WithBlanks(bytes, buffer)));
        });
        check.Finish();
        return check.PassedOver();
    }

    /// Replaces the whole file with these records, in order.
    void RewriteAll(const std::vector<Stored>& records) const {
        std::vector<std::string> bytes;
        bytes.reserve(records.size());
        for (const Stored& r : records) bytes.emplace_back(r.Bytes());
        file_.RewriteAll(bytes);
    }

    /// Keeps the records for which keep(record) is true, in order, passing them through the
    /// scratch file TEMPORARY in the same folder. Returns the number kept.
    std::int64_t RewriteFiltered(const std::function<bool(RecordView<L>)>& keep) const {
        std::string buffer;
        return file_.RewriteFiltered(
            [&](std::string_view bytes) { return keep(RecordView<L>(WithBlanks(bytes, buffer))); },
            Path().parent_path() / kTemporary);
    }

    /// Deletes the file; a missing file is no error.
    void Remove() const { file_.Remove(); }

    const common::RecordFile& File() const { return file_; }

private:
    // The bytes themselves, or a copy in `buffer` with zero bytes as blanks.
    static std::string_view WithBlanks(std::string_view bytes, std::string& buffer) {
        if (bytes.find('\0') == std::string_view::npos) return bytes;
        buffer.assign(bytes);
        for (char& c : buffer)
            if (c == '\0') c = ' ';
        return buffer;
    }

    common::RecordFile file_;
};

using WeekFileRA = WeekRecordFile<LayoutRA>;
using WeekFileSE = WeekRecordFile<LayoutSE>;
using WeekFileHR = WeekRecordFile<LayoutHR>;
using WeekFileUM = WeekRecordFile<LayoutUM>;
using WeekFileKS = WeekRecordFile<LayoutKSStored>;

}  // namespace records

#include "records/record_check.h"

#include "common/error_log.h"
#include "records/layouts.h"

namespace records {

std::string FaultReason(RecordFault fault, std::string_view kind, std::size_t length, std::string_view record) {
    const std::size_t size = record.size();
    const std::string of = " of the " + std::to_string(length) + " bytes" + (kind.empty() ? "" : " of " + std::string(kind));
    switch (fault) {
        case RecordFault::None: return "sound";
        case RecordFault::CutShort: return "cut short: " + std::to_string(size) + of;
        case RecordFault::TooLong: return "too long: " + std::to_string(size) + " bytes instead" + of;
        case RecordFault::NoLineEnd: return "no CR LF at its end (byte " + std::to_string(length - 1) + ")";
        case RecordFault::WrongKind:
            return "kind \"" + std::string(record.substr(0, 2)) + "\" instead of " + std::string(kind);
        case RecordFault::Empty: return "empty (zero bytes)";
    }
    return "damaged";
}

std::string DamagedRecordsPart(std::int64_t count) {
    return "読み飛ばした壊れたレコード " + std::to_string(count) + " 件";
}

std::size_t DeliveredLength(std::string_view kind) noexcept {
    if (kind.size() != 2) return 0;
    if (kind == LayoutRA::kName) return kLength<LayoutRA>;
    if (kind == LayoutSE::kName) return kLength<LayoutSE>;
    if (kind == LayoutHR::kName) return kLength<LayoutHR>;
    if (kind == LayoutUM::kName) return kLength<LayoutUM>;
    if (kind == LayoutKS::kName) return kLength<LayoutKS>;
    if (kind == LayoutO1::kName) return kLength<LayoutO1>;
    if (kind == LayoutO2::kName) return kLength<LayoutO2>;
    if (kind == LayoutO4::kName) return kLength<LayoutO4>;
    if (kind == LayoutO5::kName) return kLength<LayoutO5>;
    if (kind == LayoutO6::kName) return kLength<LayoutO6>;
    return 0;
}

RecordFileCheck::RecordFileCheck(std::string_view step, std::filesystem::path file, std::string_view kind,
                                 std::size_t length, std::uint64_t fileBytes, std::vector<std::string>* entries)
    : step_(step), file_(std::move(file)), kind_{kind.size() > 0 ? kind[0] : ' ', kind.size() > 1 ? kind[1] : ' '},
      kindSize_(kind.empty() ? 0 : 2), length_(length), records_(length > 0 ? static_cast<std::int64_t>(fileBytes / length) : 0), entries_(entries),
      tailBytes_(length > 0 ? fileBytes % length : fileBytes) {
    // Counted now, so that PassedOver tells it before the check finishes.
    if (tailBytes_ > 0) ++passedOver_;
}

RecordFileCheck::~RecordFileCheck() {
    // Entries go to a caller's list, which may be gone by now: that caller finishes the check.
    if (entries_) return;
    try {
        Finish();
    } catch (...) {
        // Nothing more can be told from a destructor; the entries before it were written.
    }
}

void RecordFileCheck::Finish() {
    if (finished_) return;
    finished_ = true;
    if (unlogged_ > 0) Log(file_.string() + ": " + std::to_string(unlogged_) + " more damaged records passed over");
    // After a shifted record the tail is part of the rest already told.
    if (tailBytes_ > 0 && !stopped_)
        Log(file_.string() + ": " + std::to_string(tailBytes_) + " bytes after record " + std::to_string(records_) +
            " are not a whole record (the file is cut or has bytes added): not read");
}

void RecordFileCheck::Log(std::string entry) const {
    if (entries_) {
        entries_->push_back(std::move(entry));
        return;
    }
    common::LogError(step_, entry);
}

void RecordFileCheck::PassOver(std::int64_t n, std::string_view record, RecordFault fault) {
    ++passedOver_;
    const std::string_view kind(kind_, kindSize_);
    std::string entry;
    if (ShiftsTheRest(fault)) {
        stopped_ = true;
        const std::int64_t rest = records_ > n ? records_ - n : 0;
        passedOver_ += rest;
        // A torn tail is part of the shifted rest, told with it.
        if (tailBytes_ > 0) --passedOver_;
        entry = file_.string() + " record " + std::to_string(n) + ": " +
                FaultReason(fault, kind, length_, record) +
                "; the records after it are shifted: the rest of the file (" + std::to_string(rest) +
                " records) was not read";
    } else if (logged_ < kLoggedRecordsPerFile) {
        entry = file_.string() + " record " + std::to_string(n) + ": " +
                FaultReason(fault, kind, length_, record) + ": passed over";
    } else {
        ++unlogged_;
        return;
    }
    ++logged_;
    Log(std::move(entry));
}

}  // namespace records

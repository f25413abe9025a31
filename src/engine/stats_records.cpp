#include "engine/stats_records.h"

#include <sys/stat.h>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace engine {

StatsRecordBase::StatsRecordBase(std::string_view bytes) : bytes_(common::BlankZeros(bytes)) {}

std::string_view StatsRecordBase::Field(int position, int width) const {
    if (position < 1 || width <= 0 || static_cast<std::size_t>(position - 1) >= bytes_.size()) return {};
    return std::string_view(bytes_).substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width));
}

double StatsRecordBase::Value(int position, int width) const { return common::Val(Field(position, width)); }

namespace detail {

KeyedRecords::KeyedRecords(std::string fileName, std::size_t recordLength, int keyWidth)
    : fileName_(std::move(fileName)), length_(recordLength), keyWidth_(static_cast<std::size_t>(keyWidth)) {}

KeyedRecords::Signature KeyedRecords::Current() {
    // One stat per lookup while the file stays where it was found; the folder is searched again
    // (letter case) only when it is not there.
    struct stat st {};
    bool found = !path_.empty() && folder_ == common::AppFolder() && ::stat(path_.c_str(), &st) == 0 &&
                 S_ISREG(st.st_mode);
    if (!found) {
        folder_ = common::AppFolder();
        path_ = common::Option1nPath(fileName_);
        found = ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    Signature s;
    if (!found) return s;
    s.exists = true;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

void KeyedRecords::Refresh() {
    Signature now = Current();
    if (loaded_ && now == signature_) return;
    records_.clear();
    first_.clear();
    if (now.exists) {
        const common::RecordFile file(path_, length_);
        file.ForEach([&](std::int64_t, std::string_view bytes) {
            std::string record = common::BlankZeros(bytes);
            first_.emplace(record.substr(0, keyWidth_), static_cast<std::int64_t>(records_.size()));  // first one stays
            records_.push_back(std::move(record));
        });
    }
    signature_ = now;
    loaded_ = true;
}

std::int64_t KeyedRecords::Find(std::string_view key) const {
    const auto found = first_.find(key);
    return found == first_.end() ? -1 : found->second;
}

}  // namespace detail

DamFoalFile::DamFoalFile(std::string_view fileName)
    : records_(std::string(fileName), DamFoalRecord::kLength, DamFoalRecord::kKeyWidth) {}

std::int64_t DamFoalFile::FirstRecordOf(std::string_view damHansyokuNum) {
    records_.Refresh();
    return records_.Find(damHansyokuNum) + 1;
}

std::optional<DamFoalRecord> DamFoalFile::Record(std::int64_t n) {
    records_.Refresh();
    if (n < 1 || n > static_cast<std::int64_t>(records_.Records().size())) return std::nullopt;
    return DamFoalRecord(records_.Records()[static_cast<std::size_t>(n - 1)]);
}

std::int64_t DamFoalFile::Count() {
    records_.Refresh();
    return static_cast<std::int64_t>(records_.Records().size());
}

std::string DamFoalFile::ProduceOrder(std::string_view damHansyokuNum, std::string_view foalKettoNum) {
    const std::int64_t first = FirstRecordOf(damHansyokuNum);
    if (first == 0) return "00";
    const auto& records = records_.Records();
    for (std::int64_t j = 0; j <= 20; ++j) {
        const std::int64_t n = first + j;
        if (n > static_cast<std::int64_t>(records.size())) break;  // past the end matches nothing
        if (DamFoalRecord(records[static_cast<std::size_t>(n - 1)]).FoalKettoNum() == foalKettoNum)
            return common::TwoDigits(j + 1);
    }
    return "00";
}

}  // namespace engine

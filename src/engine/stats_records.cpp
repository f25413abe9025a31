#include "engine/stats_records.h"

#include <sys/stat.h>

#include <type_traits>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/record_check.h"

namespace engine {

StatsRecordBase::StatsRecordBase(std::string_view bytes) : bytes_(common::BlankZeros(bytes)) {}

std::string_view StatsRecordBase::Field(int position, int width) const {
    if (position < 1 || width <= 0 || static_cast<std::size_t>(position - 1) >= bytes_.size()) return {};
    return std::string_view(bytes_).substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width));
}

double StatsRecordBase::Value(int position, int width) const { return common::Val(Field(position, width)); }

template <class R>
StatsTable<R>::StatsTable(const std::vector<std::string>& records) {
    records_.reserve(records.size());
    for (const std::string& bytes : records) Add(bytes);
}

template <class R>
StatsTable<R> StatsTable<R>::Load(std::string_view fileName) {
    return Read(common::Option1nPath(fileName));
}

template <class R>
StatsTable<R> StatsTable<R>::Read(const std::filesystem::path& path) {
    StatsTable table;
    const common::RecordFile file(path, R::kLength);
    records::RecordFileCheck check(kStatisticsStep, path, {}, R::kLength, file.Size());
    std::string previous;
    std::int64_t copies = 0;
    file.ForEach([&](std::int64_t n, std::string_view bytes) {
        if (!check.Sound(n, bytes)) return;
        // The foal table counts places: a foal copied next to itself would move every later
        // foal's place. (The weekly subsets repeat a record on purpose, for a horse listed twice.)
        if constexpr (std::is_same_v<R, DamFoalRecord>) {
            if (CopyOfPreviousRecord(kStatisticsStep, path, n, bytes, previous)) {
                ++copies;
                return;
            }
        }
        table.Add(bytes);
    });
    check.Finish();
    table.recordsPassedOver_ = check.PassedOver() + copies;
    return table;
}

bool CopyOfPreviousRecord(std::string_view step, const std::filesystem::path& file, std::int64_t n,
                          std::string_view record, std::string& previous) {
    if (n > 1 && record == previous) {
        common::LogError(step, file.string() + " record " + std::to_string(n) +
                                   ": the same bytes as the record before it (a copy): passed over");
        return true;
    }
    previous.assign(record);
    return false;
}

template <class R>
void StatsTable<R>::Add(std::string_view bytes) {
    records_.emplace_back(bytes);  // zero bytes read as blanks, in the key too
    const std::string_view key = records_.back().Bytes().substr(0, static_cast<std::size_t>(R::kKeyWidth));
    first_.emplace(std::string(key), records_.size() - 1);  // a later record of the key is never used
}

template <class R>
const R* StatsTable<R>::Find(std::string_view key) const {
    const auto found = first_.find(key);
    return found == first_.end() ? nullptr : &records_[found->second];
}

template <class R>
std::int64_t StatsTable<R>::IndexOf(std::string_view key) const {
    const auto found = first_.find(key);
    return found == first_.end() ? -1 : static_cast<std::int64_t>(found->second);
}

template class StatsTable<SireDamStats>;
template class StatsTable<HorseStats>;
template class StatsTable<PersonStats>;
template class StatsTable<DamFoalRecord>;

namespace detail {

StatsFileWatch::Signature StatsFileWatch::Current() {
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

bool StatsFileWatch::Changed() {
    seen_ = Current();
    return !loaded_ || !(seen_ == read_);
}

}  // namespace detail

std::int64_t DamFoalFile::FirstRecordOf(std::string_view damHansyokuNum) {
    return file_.Current().IndexOf(damHansyokuNum) + 1;
}

std::optional<DamFoalRecord> DamFoalFile::Record(std::int64_t n) {
    const std::vector<DamFoalRecord>& records = file_.Current().Records();
    if (n < 1 || n > static_cast<std::int64_t>(records.size())) return std::nullopt;
    return records[static_cast<std::size_t>(n - 1)];
}

std::string DamFoalFile::ProduceOrder(std::string_view damHansyokuNum, std::string_view foalKettoNum) {
    const StatsTable<DamFoalRecord>& table = file_.Current();
    const std::int64_t first = table.IndexOf(damHansyokuNum) + 1;
    if (first == 0) return "00";
    const std::vector<DamFoalRecord>& records = table.Records();
    for (std::int64_t j = 0; j <= 20; ++j) {
        const std::int64_t n = first + j;
        if (n > static_cast<std::int64_t>(records.size())) break;  // past the end matches nothing
        if (records[static_cast<std::size_t>(n - 1)].FoalKettoNum() == foalKettoNum) return common::TwoDigits(j + 1);
    }
    return "00";
}

}  // namespace engine

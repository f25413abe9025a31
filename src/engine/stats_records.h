#pragma once

#include <cstdint>
#include <functional>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The supplied statistics of sires, dams, racehorses, jockeys and trainers, and the table of each
// dam's foals: fixed-width text records in OPTION1N, looked up by key, the first record of a key
// in file order winning. Each file is read once into a map (StatsTable); StatsFile reads it again
// only when it changed.
namespace engine {

// Files in OPTION1N (names matched without regard to letter case).
inline constexpr std::string_view kStallionFile = "STALLION.dat";                  // SireDamStats
inline constexpr std::string_view kMareFile = "MARE.dat";                          // SireDamStats
inline constexpr std::string_view kHahaumaFile = "HAHAUMA.dat";                    // SireDamStats
inline constexpr std::string_view kHahaumaThisWeekFile = "HAHAUMATHISWEEK.dat";    // SireDamStats
inline constexpr std::string_view kKyosobaFile = "KYOSOBA.dat";                    // HorseStats
inline constexpr std::string_view kKyosobaThisWeekFile = "KYOSOBATHISWEEK.dat";    // HorseStats
inline constexpr std::string_view kKishuSeiseiFile = "KISHUSEISEI.dat";            // PersonStats
inline constexpr std::string_view kChokyoSeiseiFile = "CHOKYOSEISEI.dat";          // PersonStats
inline constexpr std::string_view kDamFoalFile = "HNSKOPTION1N.dat";               // DamFoalRecord

/// The step under which damaged records of these files are logged in ERRORLOG.txt.
inline constexpr std::string_view kStatisticsStep = "ReadSuppliedStatistics";

/// Where a field of a statistics record stands: its 1-based position and its width. The records
/// below name each of their fields once this way; their readers go through the accessors, and a
/// program that writes these files (the demo week) places its values at the same positions.
struct StatsField {
    int position = 0;
    int width = 0;
};

/// Common ground of the statistics records: the bytes of one record (zero bytes read as blanks),
/// its key, and its numeric fields read leniently (blanks or other non-digits give 0).
class StatsRecordBase {
public:
    std::string_view Bytes() const { return bytes_; }
    /// Bytes at a 1-based position; cut at the record's end.
    std::string_view Field(int position, int width) const;
    std::string_view Field(StatsField field) const { return Field(field.position, field.width); }
    /// The lenient value of the field at a 1-based position.
    double Value(int position, int width) const;
    double Value(StatsField field) const { return Value(field.position, field.width); }

protected:
    StatsRecordBase() = default;
    explicit StatsRecordBase(std::string_view bytes);
    std::string bytes_;
};

/// Statistics of a sire or a dam, 402 bytes, keyed by the breeding number (HansyokuNum).
class SireDamStats : public StatsRecordBase {
public:
    static constexpr std::size_t kLength = 402;
    static constexpr int kKeyWidth = 10;
    enum class Group { Turf, Dirt, Other };

    static constexpr StatsField kHansyokuNum{1, 10};
    static constexpr StatsField kStartsFlat{35, 6};
    static constexpr StatsField kStartsOther{41, 6};
    static constexpr StatsField kPrizeFlat{47, 9};
    static constexpr StatsField kPrizeOther{56, 9};
    static constexpr StatsField kValueFlat{65, 9};
    static constexpr StatsField kValueOther{74, 9};
    static constexpr StatsField kPlaceRateOtherTracks{119, 6};
    /// The place-rate field by going: field 1 to 4 of the group (going codes "1" (and "0"), "2",
    /// "3", "4"); turf 125.., dirt 149.., other tracks 173... Throws std::out_of_range for another
    /// field.
    static constexpr StatsField GoingPlaceRateField(Group group, int field) {
        if (field < 1 || field > 4) throw std::out_of_range("going field " + std::to_string(field));
        const int first = group == Group::Turf ? 125 : group == Group::Dirt ? 149 : 173;
        return {first + 6 * (field - 1), 6};
    }
    /// The place-rate field by distance class 1 (up to 1600 m), 2 (1601 to 2200 m), 3 (the rest)
    /// on turf (197..) or dirt (215..); the other tracks have one field for every class (119).
    /// Another class throws std::out_of_range.
    static constexpr StatsField DistancePlaceRateField(Group group, int distanceClass) {
        if (distanceClass < 1 || distanceClass > 3)
            throw std::out_of_range("distance class " + std::to_string(distanceClass));
        if (group == Group::Other) return kPlaceRateOtherTracks;
        const int first = group == Group::Turf ? 197 : 215;
        return {first + 6 * (distanceClass - 1), 6};
    }

    SireDamStats() = default;
    explicit SireDamStats(std::string_view bytes) : StatsRecordBase(bytes) {}

    std::string_view HansyokuNum() const { return Field(kHansyokuNum); }
    /// Start counts and prize sums on turf and dirt tracks (flat) and on the other tracks.
    double StartsFlat() const { return Value(kStartsFlat); }
    double StartsOther() const { return Value(kStartsOther); }
    double PrizeFlat() const { return Value(kPrizeFlat); }
    double PrizeOther() const { return Value(kPrizeOther); }
    /// The nine-digit value used for turf and dirt tracks, and for the other tracks.
    double ValueFlat() const { return Value(kValueFlat); }
    double ValueOther() const { return Value(kValueOther); }
    /// Place-rate value on the other tracks, one for every distance (position 119).
    double PlaceRateOtherTracks() const { return Value(kPlaceRateOtherTracks); }

    /// Place-rate value by going (GoingPlaceRateField).
    double GoingPlaceRate(Group group, int field) const { return Value(GoingPlaceRateField(group, field)); }
    /// Place-rate value by distance class (DistancePlaceRateField).
    double DistancePlaceRate(Group group, int distanceClass) const {
        return Value(DistancePlaceRateField(group, distanceClass));
    }
};
static_assert(SireDamStats::kHansyokuNum.width == SireDamStats::kKeyWidth);

/// Statistics of one racehorse, 228 bytes, keyed by the pedigree number (KettoNum).
class HorseStats : public StatsRecordBase {
public:
    static constexpr std::size_t kLength = 228;
    static constexpr int kKeyWidth = 10;
    static constexpr StatsField kKettoNum{1, 10};
    static constexpr StatsField kPlaceRate{11, 6};
    static constexpr StatsField kStartsFlat{23, 6};
    static constexpr StatsField kStartsOther{29, 6};
    static constexpr StatsField kPrizeFlat{35, 9};
    static constexpr StatsField kPrizeOther{44, 9};

    HorseStats() = default;
    explicit HorseStats(std::string_view bytes) : StatsRecordBase(bytes) {}

    std::string_view KettoNum() const { return Field(kKettoNum); }
    double PlaceRate() const { return Value(kPlaceRate); }
    double StartsFlat() const { return Value(kStartsFlat); }
    double StartsOther() const { return Value(kStartsOther); }
    double PrizeFlat() const { return Value(kPrizeFlat); }
    double PrizeOther() const { return Value(kPrizeOther); }
};
static_assert(HorseStats::kKettoNum.width == HorseStats::kKeyWidth);

/// Statistics of a jockey or a trainer, 121 bytes, keyed by the five-character code.
class PersonStats : public StatsRecordBase {
public:
    static constexpr std::size_t kLength = 121;
    static constexpr int kKeyWidth = 5;
    static constexpr StatsField kCode{1, 5};
    static constexpr StatsField kPlaceRateTurf{30, 6};
    static constexpr StatsField kPlaceRateDirt{36, 6};
    static constexpr StatsField kPlaceRateOther{42, 6};

    PersonStats() = default;
    explicit PersonStats(std::string_view bytes) : StatsRecordBase(bytes) {}

    std::string_view Code() const { return Field(kCode); }
    double PlaceRateTurf() const { return Value(kPlaceRateTurf); }
    double PlaceRateDirt() const { return Value(kPlaceRateDirt); }
    double PlaceRateOther() const { return Value(kPlaceRateOther); }
};
static_assert(PersonStats::kCode.width == PersonStats::kKeyWidth);

/// One foal of one dam, 22 bytes.
class DamFoalRecord : public StatsRecordBase {
public:
    static constexpr std::size_t kLength = 22;
    static constexpr int kKeyWidth = 10;
    static constexpr StatsField kDamHansyokuNum{1, 10};
    static constexpr StatsField kFoalKettoNum{11, 10};

    DamFoalRecord() = default;
    explicit DamFoalRecord(std::string_view bytes) : StatsRecordBase(bytes) {}

    std::string_view DamHansyokuNum() const { return Field(kDamHansyokuNum); }
    std::string_view FoalKettoNum() const { return Field(kFoalKettoNum); }
};
static_assert(DamFoalRecord::kDamHansyokuNum.width == DamFoalRecord::kKeyWidth);

/// One statistics file held in memory: its records in file order and, per key, the first record
/// that holds it (a later record of the same key is never found). The key is a record's first
/// R::kKeyWidth bytes and matches only a text equal to it byte for byte, blanks included, so a
/// key of another width never matches. Lookups read no file.
template <class R>
class StatsTable {
public:
    StatsTable() = default;
    /// Records in file order (each of R::kLength bytes; zero bytes read as blanks).
    explicit StatsTable(const std::vector<std::string>& records);
    /// Reads OPTION1N/<fileName> once (name matched without regard to letter case).
    static StatsTable Load(std::string_view fileName);
    /// Reads the file at `path` once. Reading never creates it: a missing file gives an empty
    /// table. Only whole records are read (records::RecordFileCheck, records without a tag): a
    /// damaged one is passed over and logged under kStatisticsStep, after one without its CR LF
    /// nothing more is read, and a torn tail is told. File-system failures throw.
    static StatsTable Read(const std::filesystem::path& path);

    /// The first record whose key equals `key` exactly, or nullptr.
    const R* Find(std::string_view key) const;
    /// 0-based place of that record in the file, or -1.
    std::int64_t IndexOf(std::string_view key) const;
    /// Every record, in file order.
    const std::vector<R>& Records() const { return records_; }
    std::size_t Size() const { return records_.size(); }
    /// Records of the file that were not read, being damaged or shifted (each logged).
    std::int64_t RecordsPassedOver() const { return recordsPassedOver_; }

private:
    void Add(std::string_view bytes);

    struct TransparentHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::vector<R> records_;
    std::unordered_map<std::string, std::size_t, TransparentHash, std::equal_to<>> first_;
    std::int64_t recordsPassedOver_ = 0;
};

/// True when record n of a supplied statistics file is byte for byte the record before it
/// (`previous`, which then becomes this one): such a copy was put into the file, never delivered
/// in it, and would move every later place of its key. Logged under `step` with the file.
bool CopyOfPreviousRecord(std::string_view step, const std::filesystem::path& file, std::int64_t n,
                          std::string_view record, std::string& previous);

extern template class StatsTable<SireDamStats>;
extern template class StatsTable<HorseStats>;
extern template class StatsTable<PersonStats>;
extern template class StatsTable<DamFoalRecord>;

namespace detail {

/// Where a statistics file of OPTION1N stands and whether it changed since it was last read.
/// A changed file tells by its identity, size and change times (a rewrite in place moves the
/// change time, a rewrite through a rename changes the identity).
class StatsFileWatch {
public:
    explicit StatsFileWatch(std::string fileName) : fileName_(std::move(fileName)) {}

    /// Looks at the file now. True when it must be read: nothing was read yet, it differs from
    /// what was read last, or Invalidate() was called.
    bool Changed();
    /// What the last Changed() found: whether the file is there, and where.
    bool Exists() const { return seen_.exists; }
    const std::filesystem::path& Path() const { return path_; }
    /// The file as the last Changed() found it has been read.
    void MarkRead() {
        read_ = seen_;
        loaded_ = true;
    }
    void Invalidate() { loaded_ = false; }

private:
    struct Signature {
        bool exists = false;
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0, changed = 0;  // nanoseconds
        bool operator==(const Signature&) const = default;
    };
    Signature Current();

    std::string fileName_;
    std::string folder_;          // the AppFolder that path_ was found in
    std::filesystem::path path_;  // the name as found, kept while it still names a file
    bool loaded_ = false;
    Signature seen_;  // at the last Changed()
    Signature read_;  // when the table was read
};

}  // namespace detail

/// Lookup in one statistics file of OPTION1N that follows the file: its StatsTable, read again
/// whenever the file changed since the last lookup (one stat per lookup).
template <class R>
class StatsFile {
public:
    explicit StatsFile(std::string_view fileName) : watch_(std::string(fileName)) {}

    /// StatsTable::Find on the file's current content, as a copy.
    std::optional<R> Find(std::string_view key) {
        const R* found = Current().Find(key);
        if (found == nullptr) return std::nullopt;
        return *found;
    }
    /// Whole records in the file now.
    std::int64_t Count() { return static_cast<std::int64_t>(Current().Size()); }
    /// Forces a fresh read at the next lookup.
    void Invalidate() { watch_.Invalidate(); }

    /// The table of the file's current content.
    const StatsTable<R>& Current() {
        if (watch_.Changed()) {
            table_ = watch_.Exists() ? StatsTable<R>::Read(watch_.Path()) : StatsTable<R>();
            watch_.MarkRead();
        }
        return table_;
    }

private:
    detail::StatsFileWatch watch_;
    StatsTable<R> table_;
};

/// The foal table: each dam's foals stand together, oldest first.
class DamFoalFile {
public:
    explicit DamFoalFile(std::string_view fileName = kDamFoalFile) : file_(fileName) {}

    /// 1-based number of the first record of a dam, 0 when the dam is not in the file.
    std::int64_t FirstRecordOf(std::string_view damHansyokuNum);
    /// Record n (1-based); nothing past the end.
    std::optional<DamFoalRecord> Record(std::int64_t n);
    std::int64_t Count() { return file_.Count(); }
    /// Damaged records of the file as last read (each logged).
    std::int64_t RecordsPassedOver() { return file_.Current().RecordsPassedOver(); }

    /// A horse's place among its dam's foals: from the dam's first record f, records f to f + 20
    /// are tried, whatever dam they belong to; the foal found at f + j gives the two digits of
    /// j + 1 ("01" to "21"); "00" when the dam is missing or none of the 21 records is the foal.
    std::string ProduceOrder(std::string_view damHansyokuNum, std::string_view foalKettoNum);

    void Invalidate() { file_.Invalidate(); }

private:
    StatsFile<DamFoalRecord> file_;
};

}  // namespace engine

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "records/layout.h"
#include "records/record.h"

// The runner record of a race (24022 bytes), one per runner in RACE/<RaceKey12>.dat at the record
// number of its horse number: the runner's newest 65 runs (this week's race as element 0) with
// their identities, results and weather, its horse-level fields, and per run the model weights and
// the measured and predicted speeds, all copied from its expanded runs. Text fields are CP932,
// fixed width; the weight and speed blocks are little-endian single-precision floats; a field
// nobody set holds zero bytes.
namespace workbench {

/// Runs a record holds: element 0 this week's race, element e the run e places older.
inline constexpr int kRunElements = 65;
/// Elements of the three float blocks; only the first 65 are ever filled.
inline constexpr int kFloatElements = 70;
inline constexpr int kAgariValues = 24;
inline constexpr int kPaceValues = 24;
inline constexpr int kSpeedValues = 20;

/// The record's field table in record order: position, elements and width of every field
/// follow from it (checked against the stored positions below).
struct LayoutRaceHorse {
    static constexpr std::string_view kName = "RaceHorse";
    static constexpr bool kStored = false;
    static constexpr auto kItems = std::array{
        records::G("RunRaceId", kRunElements), records::F("Year", 4), records::F("MonthDay", 4),
        records::F("JyoCD", 2), records::F("Kaiji", 2), records::F("Nichiji", 2), records::F("RaceNum", 2),
        records::End(),
        records::F("Wakuban", 1, kRunElements), records::F("Umaban", 2, kRunElements),
        records::F("KettoNum", 10, kRunElements), records::F("Bamei", 36),
        records::F("KisyuRyakusyo", 8, kRunElements), records::F("Kyori", 4, kRunElements),
        records::F("TrackCD", 2, kRunElements), records::F("TorokuTosu", 2, kRunElements),
        records::F("NyusenJyuni", 2, kRunElements), records::F("KakuteiJyuni", 2, kRunElements),
        records::F("SohaTime", 4, kRunElements), records::F("Ninki", 2, kRunElements),
        records::F("TanOdds", 4, kRunElements), records::F("HaronTimeL3", 3, kRunElements),
        records::F("ChokyosiRyakusyo", 8, kRunElements), records::F("ChichiName", 36),
        records::F("SeisansyaName", 70), records::F("Name36", 36), records::F("Barei", 2),
        records::F("SexCD", 1), records::F("HassoTime", 4),
        records::G("Baba", kRunElements), records::F("TenkoCD", 1), records::F("SibaBabaCD", 1),
        records::F("DirtBabaCD", 1), records::End(),
        records::F("Futan", 3), records::F("BaTaijyu", 3), records::F("ZogenFugo", 1), records::F("ZogenSa", 3),
        records::F("IJyoCD", 1), records::F("SampleCounts", 7, 5),
        records::G("AgariWeight", kFloatElements), records::F("Value", 4, kAgariValues), records::End(),
        records::G("PaceWeight", kFloatElements), records::F("Value", 4, kPaceValues), records::End(),
        records::G("SpeedBlock", kFloatElements), records::F("Value", 4, kSpeedValues), records::End(),
        records::F("Correction", 4), records::F("CrLf", 2)};
};

static_assert(records::kLength<LayoutRaceHorse> == 24022);

/// The fields by name. Per-run fields take the element (0 to 64) as their index; the float blocks
/// take the element (0 to 69) and the value.
namespace rh {
using Ref = records::Ref<LayoutRaceHorse>;
template <std::size_t N>
consteval Ref At(const char (&path)[N]) { return records::Locate<LayoutRaceHorse>(std::string_view(path, N - 1)); }

inline constexpr Ref RunRaceId = At("RunRaceId");  // 16 bytes per element
inline constexpr Ref Year = At("RunRaceId.Year");
inline constexpr Ref MonthDay = At("RunRaceId.MonthDay");
inline constexpr Ref JyoCD = At("RunRaceId.JyoCD");
inline constexpr Ref Kaiji = At("RunRaceId.Kaiji");
inline constexpr Ref Nichiji = At("RunRaceId.Nichiji");
inline constexpr Ref RaceNum = At("RunRaceId.RaceNum");
inline constexpr Ref Wakuban = At("Wakuban");
inline constexpr Ref Umaban = At("Umaban");
inline constexpr Ref KettoNum = At("KettoNum");
inline constexpr Ref Bamei = At("Bamei");
inline constexpr Ref KisyuRyakusyo = At("KisyuRyakusyo");
inline constexpr Ref Kyori = At("Kyori");
inline constexpr Ref TrackCD = At("TrackCD");
inline constexpr Ref TorokuTosu = At("TorokuTosu");
inline constexpr Ref NyusenJyuni = At("NyusenJyuni");
inline constexpr Ref KakuteiJyuni = At("KakuteiJyuni");
inline constexpr Ref SohaTime = At("SohaTime");
inline constexpr Ref Ninki = At("Ninki");
inline constexpr Ref TanOdds = At("TanOdds");
inline constexpr Ref HaronTimeL3 = At("HaronTimeL3");
inline constexpr Ref ChokyosiRyakusyo = At("ChokyosiRyakusyo");
inline constexpr Ref ChichiName = At("ChichiName");
inline constexpr Ref SeisansyaName = At("SeisansyaName");
inline constexpr Ref Name36 = At("Name36");
inline constexpr Ref Barei = At("Barei");
inline constexpr Ref SexCD = At("SexCD");
inline constexpr Ref HassoTime = At("HassoTime");
inline constexpr Ref Baba = At("Baba");  // 3 bytes per element
inline constexpr Ref TenkoCD = At("Baba.TenkoCD");
inline constexpr Ref SibaBabaCD = At("Baba.SibaBabaCD");
inline constexpr Ref DirtBabaCD = At("Baba.DirtBabaCD");
inline constexpr Ref Futan = At("Futan");
inline constexpr Ref BaTaijyu = At("BaTaijyu");
inline constexpr Ref ZogenFugo = At("ZogenFugo");
inline constexpr Ref ZogenSa = At("ZogenSa");
inline constexpr Ref IJyoCD = At("IJyoCD");
inline constexpr Ref SampleCounts = At("SampleCounts");  // 5 x 7: jockey, trainer, sire, dam's sire, breeder
inline constexpr Ref AgariWeight = At("AgariWeight");    // 96 bytes per element
inline constexpr Ref AgariValue = At("AgariWeight.Value");
inline constexpr Ref PaceWeight = At("PaceWeight");
inline constexpr Ref PaceValue = At("PaceWeight.Value");
inline constexpr Ref SpeedBlock = At("SpeedBlock");      // 80 bytes per element
inline constexpr Ref SpeedValue = At("SpeedBlock.Value");
inline constexpr Ref Correction = At("Correction");
inline constexpr Ref CrLf = At("CrLf");
}  // namespace rh

/// Values of an element of the speed block (km/h, but the ratio).
namespace speed_block {
inline constexpr int kMeasuredAgari = 0, kMeasuredPace = 1, kMeasuredSoha = 2;
inline constexpr int kPredictedAgari = 3, kPredictedPace = 4, kPredictedSoha = 5;
inline constexpr int kCombinedSoha = 6;
inline constexpr int kResidual = 7;  // measured Soha speed minus value 6
}  // namespace speed_block

/// One runner record in memory.
class RaceHorseRecord : public records::FieldAccess<LayoutRaceHorse, RaceHorseRecord> {
public:
    static constexpr std::size_t kLength = 24022;

    /// Every byte zero: the blank record of a horse number without a runner.
    RaceHorseRecord();
    /// A record read from a file: exactly kLength bytes, kept as they are. Throws
    /// std::invalid_argument for another length.
    static RaceHorseRecord FromBytes(std::string_view bytes);

    std::string_view Bytes() const { return bytes_; }

    /// Writes a text field: left-aligned, blank-padded, cut before a character that would not fit
    /// whole. Throws std::out_of_range for an element outside the field.
    void Set(rh::Ref ref, std::string_view value, int element = 0);
    /// Copies exactly the field's width of bytes (zero bytes included) from `bytes`, which must
    /// hold that many. Throws std::out_of_range for an element outside the field.
    void CopyRaw(rh::Ref ref, const char* bytes, int element = 0);
    /// CopyRaw of elements 0 to count - 1, element e from `bytes` + e x `stride` (a negative
    /// stride walks backwards). Throws std::out_of_range when the field has fewer elements.
    void CopyRawElements(rh::Ref ref, const char* bytes, std::ptrdiff_t stride, int count);
    /// A float of a float block or the Correction: `element` and `value` as the field takes them.
    float Float(rh::Ref ref, int element = 0, int value = 0) const;
    void SetFloat(rh::Ref ref, float v, int element = 0, int value = 0);
    /// Puts CR LF at the record's end, as every record with a runner has.
    void SetCrLf();

    /// No runner at this horse number: the record has no CR LF (a blank record is all zero bytes).
    bool IsBlank() const;

private:
    std::size_t OffsetOf(rh::Ref ref, int i, int j) const;
    std::string bytes_;
};

/// The runner file of a race under AppFolder: RACE/<RaceKey12>.dat. Throws std::invalid_argument
/// for a key that is not twelve digits.
std::filesystem::path RaceHorseFilePath(std::string_view raceKey12);

/// Writes a race's runner file whole, through a scratch file and a rename: record h is
/// runners[h - 1] (horse number h), so its size is runners.size() x 24022 bytes; no runners make
/// an empty file. A failure leaves the old file whole and throws.
void WriteRaceHorseFile(std::string_view raceKey12, const std::vector<RaceHorseRecord>& runners);

/// The records of a race's runner file, horse number 1 first (a missing file has none), through
/// the record check: a damaged record is logged under `step` and read as a blank one, so that the
/// horse numbers after it keep their places; after one without its line end the rest of the file
/// is shifted and not read. Returns the records passed over in `passedOver` (when given): a file
/// that had any must not be written back from what was read.
std::vector<RaceHorseRecord> ReadRaceHorseFile(std::string_view raceKey12, std::string_view step,
                                               std::int64_t* passedOver = nullptr);

}  // namespace workbench

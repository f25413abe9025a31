#include "workbench/race_horse_record.h"

#include <cstring>
#include <stdexcept>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/record_check.h"

namespace workbench {

namespace {

// The stored positions (1-based) and widths of the fields, as the file has always held them: the
// table above must place every field exactly there.
constexpr bool At(rh::Ref ref, int position, int width) { return ref.offset + 1 == position && ref.width == width; }
static_assert(At(rh::RunRaceId, 1, 16) && At(rh::Wakuban, 1041, 1) && At(rh::Umaban, 1106, 2));
static_assert(At(rh::KettoNum, 1236, 10) && At(rh::Bamei, 1886, 36) && At(rh::KisyuRyakusyo, 1922, 8));
static_assert(At(rh::Kyori, 2442, 4) && At(rh::TrackCD, 2702, 2) && At(rh::TorokuTosu, 2832, 2));
static_assert(At(rh::NyusenJyuni, 2962, 2) && At(rh::KakuteiJyuni, 3092, 2) && At(rh::SohaTime, 3222, 4));
static_assert(At(rh::Ninki, 3482, 2) && At(rh::TanOdds, 3612, 4) && At(rh::HaronTimeL3, 3872, 3));
static_assert(At(rh::ChokyosiRyakusyo, 4067, 8) && At(rh::ChichiName, 4587, 36) && At(rh::SeisansyaName, 4623, 70));
static_assert(At(rh::Name36, 4693, 36) && At(rh::Barei, 4729, 2) && At(rh::SexCD, 4731, 1));
static_assert(At(rh::HassoTime, 4732, 4) && At(rh::Baba, 4736, 3) && At(rh::Futan, 4931, 3));
static_assert(At(rh::BaTaijyu, 4934, 3) && At(rh::ZogenFugo, 4937, 1) && At(rh::ZogenSa, 4938, 3));
static_assert(At(rh::IJyoCD, 4941, 1) && At(rh::SampleCounts, 4942, 7) && At(rh::AgariWeight, 4977, 96));
static_assert(At(rh::PaceWeight, 11697, 96) && At(rh::SpeedBlock, 18417, 80) && At(rh::Correction, 24017, 4));
static_assert(At(rh::CrLf, 24021, 2));

constexpr std::string_view kRaceFolder = "RACE";

bool IsFloatField(rh::Ref ref) {
    return ref.item == rh::AgariValue.item || ref.item == rh::PaceValue.item || ref.item == rh::SpeedValue.item ||
           ref.item == rh::Correction.item;
}

}  // namespace

RaceHorseRecord::RaceHorseRecord() : bytes_(kLength, '\0') {}

RaceHorseRecord RaceHorseRecord::FromBytes(std::string_view bytes) {
    if (bytes.size() != kLength)
        throw std::invalid_argument("a runner record has " + std::to_string(kLength) + " bytes, not " +
                                    std::to_string(bytes.size()));
    RaceHorseRecord record;
    record.bytes_.assign(bytes);
    return record;
}

std::size_t RaceHorseRecord::OffsetOf(rh::Ref ref, int i, int j) const {
    const int at = ref.Offset(i, j);
    if (at < 0 || ref.item < 0) throw std::out_of_range("element outside the runner record's field");
    return static_cast<std::size_t>(at);
}

void RaceHorseRecord::Set(rh::Ref ref, std::string_view value, int element) {
    records::FitInto(value, bytes_.data() + OffsetOf(ref, element, 0), static_cast<std::size_t>(ref.width));
}

void RaceHorseRecord::CopyRaw(rh::Ref ref, const char* bytes, int element) {
    std::memcpy(bytes_.data() + OffsetOf(ref, element, 0), bytes, static_cast<std::size_t>(ref.width));
}

void RaceHorseRecord::CopyRawElements(rh::Ref ref, const char* bytes, std::ptrdiff_t stride, int count) {
    if (count < 1) return;
    const auto width = static_cast<std::size_t>(ref.width);
    char* to = bytes_.data() + OffsetOf(ref, 0, 0);
    // Elements of a field lie one step apart: checked by the last one's place.
    const std::size_t step = count > 1 ? OffsetOf(ref, 1, 0) - OffsetOf(ref, 0, 0) : 0;
    if (OffsetOf(ref, count - 1, 0) != OffsetOf(ref, 0, 0) + static_cast<std::size_t>(count - 1) * step)
        throw std::out_of_range("a field whose elements do not lie one step apart");
    for (int e = 0; e < count; ++e, to += step, bytes += stride) std::memcpy(to, bytes, width);
}

float RaceHorseRecord::Float(rh::Ref ref, int element, int value) const {
    if (!IsFloatField(ref)) throw std::invalid_argument("not a float field of the runner record");
    return common::FloatFromLittleEndian(bytes_.data() + OffsetOf(ref, element, value));
}

void RaceHorseRecord::SetFloat(rh::Ref ref, float v, int element, int value) {
    if (!IsFloatField(ref)) throw std::invalid_argument("not a float field of the runner record");
    common::FloatToLittleEndian(v, bytes_.data() + OffsetOf(ref, element, value));
}

void RaceHorseRecord::SetCrLf() { std::memcpy(bytes_.data() + rh::CrLf.offset, "\r\n", 2); }

bool RaceHorseRecord::IsBlank() const { return Get(rh::CrLf) != "\r\n"; }

std::filesystem::path RaceHorseFilePath(std::string_view raceKey12) {
    if (raceKey12.size() != 12 || !common::IsDigits(raceKey12))
        throw std::invalid_argument("race key \"" + std::string(raceKey12) + "\" cannot name a runner file");
    return common::AppPath(std::string(kRaceFolder) + "/" + std::string(raceKey12) + ".dat");
}

void WriteRaceHorseFile(std::string_view raceKey12, const std::vector<RaceHorseRecord>& runners) {
    std::vector<std::string_view> records;
    records.reserve(runners.size());
    for (const RaceHorseRecord& r : runners) records.push_back(r.Bytes());
    common::WriteFileAtomically(RaceHorseFilePath(raceKey12), records);
}

std::vector<RaceHorseRecord> ReadRaceHorseFile(std::string_view raceKey12, std::string_view step,
                                               std::int64_t* passedOver) {
    const std::filesystem::path path = RaceHorseFilePath(raceKey12);
    const std::string bytes = common::ReadFileBytes(path);
    // A runner record carries no tag of its kind: its length and line end are what is checked.
    records::RecordFileCheck check(step, path, "", RaceHorseRecord::kLength, bytes.size());
    std::vector<RaceHorseRecord> runners;
    for (std::int64_t n = 1; n <= check.Records() && !check.Stopped(); ++n) {
        const std::string_view record = std::string_view(bytes).substr(static_cast<std::size_t>(n - 1) * RaceHorseRecord::kLength,
                                                                       RaceHorseRecord::kLength);
        // A horse number without a runner is all zero bytes, as the batch writes it.
        const bool blank = record.find_first_not_of('\0') == std::string_view::npos;
        if (blank || !check.Sound(n, record)) {
            if (!check.Stopped()) runners.emplace_back();
            continue;
        }
        runners.push_back(RaceHorseRecord::FromBytes(record));
    }
    check.Finish();
    if (passedOver) *passedOver = check.PassedOver();
    return runners;
}

}  // namespace workbench

#include "workbench/ranking.h"

#include <cmath>
#include <cstdint>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/quicksort.h"
#include "common/text_file.h"

namespace workbench {

namespace {

std::string Text(const RaceHorseRecord& record, rh::Ref ref, int element = 0) {
    return common::BlankZeros(record.Get(ref, element));
}

/// Characters start..start+length-1 (1-based) of a fixed-width field, as far as it reaches.
std::string Mid(std::string_view text, std::size_t start, std::size_t length) {
    if (start - 1 >= text.size()) return {};
    return std::string(text.substr(start - 1, length));
}

bool IsFlat(std::string_view trackCD) { return trackCD >= "00" && trackCD <= "49"; }

// Upper bounds of bands 1 to 4 (inclusive) for the five counts; band 5 is above band 4.
struct Bands {
    double upper[4];
};
constexpr std::array<Bands, 5> kFlatBands{{
    {{5, 10, 20, 73}},     // jockey
    {{5, 50, 100, 176}},   // trainer
    {{5, 10, 20, 73}},     // sire
    {{5, 10, 20, 75}},     // dam's sire
    {{5, 10, 20, 77}},     // breeder
}};
constexpr std::array<Bands, 5> kOtherBands{{
    {{5, 10, 20, 88}},
    {{5, 10, 20, 86}},
    {{5, 10, 20, 69}},
    {{5, 10, 20, 60}},
    {{5, 10, 20, 45}},
}};
constexpr std::array<const char*, 6> kBandLetters{"F", "E", "D", "C", "B", "A"};

std::string GradeOf(double count, const Bands& bands) {
    if (count == 0) return kBandLetters[0];
    double lower = 1;
    for (int band = 1; band <= 4; ++band) {
        if (count >= lower && count <= bands.upper[band - 1]) return kBandLetters[static_cast<std::size_t>(band)];
        lower = bands.upper[band - 1] + 1;
    }
    if (count > bands.upper[3]) return kBandLetters[5];
    return {};
}

/// A value of the record; one that is not a finite number counts as 0 and is noted.
float Finite(float value, int horse, std::string_view what, std::vector<std::string>& notes) {
    if (std::isfinite(value)) return value;
    notes.push_back("horse " + std::to_string(horse) + ": " + std::string(what) +
                    " is not a finite number; counted as 0");
    return 0.0f;
}

/// Arrival order and popularity: the whole number right-aligned in two characters; "" when the
/// field holds no number.
std::string OrderText(std::string_view field) {
    const auto first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = field.find_last_not_of(' ');
    const std::string_view digits = field.substr(first, last - first + 1);
    if (!common::IsDigits(digits)) return {};
    return common::RightAlignedTwo(static_cast<std::int64_t>(common::Val(digits)));
}

std::string ChakujunText(const std::string& kakuteiJyuni) {
    return kakuteiJyuni >= "01" && kakuteiJyuni <= "05" ? kakuteiJyuni : "**";
}

/// Measured time msss as "m.ss.t " and the last 3 furlongs sst as "ss.t "; a race not yet run
/// ("0000" or blanks) gives 4 blanks and "".
void MeasuredTimes(const RunnerFields& r, std::string& jitsuTime, std::string& jitsu3F) {
    if (r.SohaTime == "    " || r.SohaTime == "0000") {
        jitsuTime = "    ";
        jitsu3F.clear();
        return;
    }
    jitsuTime = Mid(r.SohaTime, 1, 1) + "." + Mid(r.SohaTime, 2, 2) + "." + Mid(r.SohaTime, 4, 1) + " ";
    jitsu3F = Mid(r.HaronTimeL3, 1, 2) + "." + Mid(r.HaronTimeL3, 3, 1) + " ";
}

/// Predicted time of the last 3 furlongs (flat) or of one furlong (other tracks) as "ss.hh", in
/// hundredths: 216000 / v runs 600 m at v km/h, 72000 / v runs 200 m. No speed, no time.
std::string Yoso3FText(float v, std::string_view trackCD) {
    if (!(v > 0.0f)) return {};
    const double t = common::Int((IsFlat(trackCD) ? 216000.0 : 72000.0) / static_cast<double>(v));
    const std::string digits = common::NumberText(t);
    return Mid(digits, 1, 2) + "." + Mid(digits, 3, 2);
}

std::string Line(const std::vector<common::Field>& fields) { return common::WrittenFields(fields) + "\r\n"; }

/// Fields 1 to 8 of the sort files.
std::vector<common::Field> SortFields(const RaceRanking& k, int h) {
    const auto i = static_cast<std::size_t>(h);
    return {h,
            k.WakuStr[i],
            common::RightAlignedTwo(h),
            k.YosoRank[i],
            k.SexStr[i],
            common::RightAlignedTwo(static_cast<std::int64_t>(common::Int(common::Val(k.BareiStr[i])))),
            std::string(common::LeftCp932Chars(k.BameiStr[i], 9)),
            k.FutanStr[i]};
}

}  // namespace

RunnerFields RunnerFieldsOf(const RaceHorseRecord& record) {
    RunnerFields r;
    r.CombinedSoha = record.Float(rh::SpeedValue, 0, speed_block::kCombinedSoha);
    r.MeasuredSoha = record.Float(rh::SpeedValue, 0, speed_block::kMeasuredSoha);
    r.PredictedAgari = record.Float(rh::SpeedValue, 0, speed_block::kPredictedAgari);
    r.Correction = record.Float(rh::Correction);
    r.Wakuban = Text(record, rh::Wakuban);
    r.Bamei = Text(record, rh::Bamei);
    r.KisyuRyakusyo = Text(record, rh::KisyuRyakusyo);
    r.ChokyosiRyakusyo = Text(record, rh::ChokyosiRyakusyo);
    r.Futan = Text(record, rh::Futan);
    r.SexCD = Text(record, rh::SexCD);
    r.Barei = Text(record, rh::Barei);
    r.Kyori = Text(record, rh::Kyori);
    r.TrackCD = Text(record, rh::TrackCD);
    r.SohaTime = Text(record, rh::SohaTime);
    r.HaronTimeL3 = Text(record, rh::HaronTimeL3);
    r.NyusenJyuni = Text(record, rh::NyusenJyuni);
    r.KakuteiJyuni = Text(record, rh::KakuteiJyuni);
    r.Ninki = Text(record, rh::Ninki);
    for (int i = 0; i < 5; ++i) r.SampleCounts[static_cast<std::size_t>(i)] = Text(record, rh::SampleCounts, i);
    return r;
}

Grades GradeShinraido(const std::array<std::string, 5>& sampleCounts, std::string_view trackCD) {
    const auto& bands = IsFlat(trackCD) ? kFlatBands : kOtherBands;
    Grades grades;
    for (std::size_t i = 0; i < 5; ++i) grades[i] = GradeOf(common::Val(sampleCounts[i]), bands[i]);
    return grades;
}

std::optional<double> PopulationStdDev(const std::vector<float>& values, int n) {
    if (n <= 0) return std::nullopt;
    float sum = 0.0f;
    float sumsq = 0.0f;
    for (int i = 1; i <= n && static_cast<std::size_t>(i) < values.size(); ++i) {
        const float v = values[static_cast<std::size_t>(i)];
        sum = sum + v;
        const float square = v * v;
        sumsq = sumsq + square;
    }
    const float mean = sum / static_cast<float>(n);
    const double variance =
        static_cast<double>(sumsq) / n - static_cast<double>(mean) * static_cast<double>(mean);
    // Equal values can leave a rounding residue below 0: their spread is 0.
    return variance > 0 ? std::sqrt(variance) : 0.0;
}

int RaceSpread(const std::vector<float>& yosoValue, int n) {
    const auto s = PopulationStdDev(yosoValue, n);
    if (!s) return 0;
    return static_cast<int>(common::Int(*s * 16.666));
}

std::string SpreadColumnText(int raceSD) { return common::RightAlignedTwo(raceSD); }

RaceRanking RankRunners(const std::vector<RunnerFields>& runners, const common::CodeTable& codes) {
    RaceRanking k;
    const int n = static_cast<int>(runners.size());
    const auto size = static_cast<std::size_t>(n) + 1;
    k.RunnerCount = n;
    for (auto* list : {&k.YosoSpeed, &k.Correction, &k.YosoValue, &k.JitsuSpeed}) list->assign(size, 0.0f);
    for (auto* list : {&k.WakuStr, &k.BameiStr, &k.FutanStr, &k.KisyuStr, &k.ChokyosiStr, &k.SexStr, &k.BareiStr,
                       &k.YosoTimeStr, &k.Yoso3FStr, &k.JitsuTimeStr, &k.Jitsu3FStr, &k.NyusenStr, &k.NinkiStr,
                       &k.ChakujunStr, &k.YosoJun, &k.YosoRank})
        list->assign(size, std::string());
    k.ShinraidoGrade.assign(size, Grades{});

    for (int h = 1; h <= n; ++h) {
        const auto i = static_cast<std::size_t>(h);
        const RunnerFields& r = runners[i - 1];
        k.YosoSpeed[i] = Finite(r.CombinedSoha, h, "the ranking speed", k.Notes);
        k.Correction[i] = Finite(r.Correction, h, "the correction", k.Notes);
        k.YosoValue[i] = k.YosoSpeed[i] + k.Correction[i];
        k.JitsuSpeed[i] = Finite(r.MeasuredSoha, h, "the measured speed", k.Notes);
        const float agari = Finite(r.PredictedAgari, h, "the predicted last-3-furlong speed", k.Notes);

        MeasuredTimes(r, k.JitsuTimeStr[i], k.Jitsu3FStr[i]);
        k.WakuStr[i] = r.Wakuban;
        k.BameiStr[i] = r.Bamei;
        k.ChokyosiStr[i] = r.ChokyosiRyakusyo;
        k.FutanStr[i] = Mid(r.Futan, 1, 2) + "." + Mid(r.Futan, 3, 1);
        k.KisyuStr[i] = r.KisyuRyakusyo;
        k.SexStr[i] = common::ToCp932(common::LeftChars(codes.LookupCode("2202", r.SexCD, 2), 1));
        k.BareiStr[i] = r.Barei;
        k.ShinraidoGrade[i] = GradeShinraido(r.SampleCounts, r.TrackCD);

        k.Yoso3FStr[i] = Yoso3FText(agari, r.TrackCD);
        if (k.YosoValue[i] > 0.0f) {
            const auto time = common::FormatYosoTime(k.YosoValue[i], r.Kyori);
            if (time) {
                k.YosoTimeStr[i] = *time;
            } else {
                k.Notes.push_back("horse " + std::to_string(h) + ": no predicted time over the distance \"" +
                                  r.Kyori + "\"");
            }
        }
        k.NyusenStr[i] = OrderText(r.NyusenJyuni);
        k.ChakujunStr[i] = ChakujunText(r.KakuteiJyuni);
        k.NinkiStr[i] = OrderText(r.Ninki);
    }

    k.RaceSD = RaceSpread(k.YosoValue, n);

    std::vector<float> sorted = k.YosoValue;
    for (int h = 1; h <= n; ++h) k.YosoJun[static_cast<std::size_t>(h)] = common::TwoDigits(h);
    common::QuickSortDescending(sorted, k.YosoJun, 1, n);
    for (int place = 1; place <= n; ++place) {
        const auto horse = static_cast<std::size_t>(common::Val(k.YosoJun[static_cast<std::size_t>(place)]));
        k.YosoRank[horse] = common::RightAlignedTwo(place);
    }
    return k;
}

std::string KaimeRunnerLines(std::string_view raceKey12, const RaceRanking& k) {
    std::string out;
    for (int h = 1; h <= k.RunnerCount; ++h) {
        const auto i = static_cast<std::size_t>(h);
        out += Line({std::string(raceKey12), h, common::Single{k.YosoValue[i]}, common::Single{k.YosoSpeed[i]},
                     common::Single{k.Correction[i]}});
    }
    return out;
}

std::string SortFileBytes(const RaceRanking& k) {
    std::string out;
    for (int h = 1; h <= k.RunnerCount; ++h) {
        const auto i = static_cast<std::size_t>(h);
        std::vector<common::Field> fields = SortFields(k, h);
        for (std::size_t g = 0; g < 4; ++g) fields.emplace_back(k.ShinraidoGrade[i][g]);
        fields.emplace_back(std::string(common::LeftCp932Chars(k.KisyuStr[i], 4)));
        fields.emplace_back(k.YosoTimeStr[i]);
        // The ranking value in metres per minute, right-aligned in four characters.
        std::string perMinute = common::NumberText(common::Int(static_cast<double>(k.YosoValue[i]) * 16.666));
        if (perMinute.size() < 4) perMinute.insert(0, 4 - perMinute.size(), ' ');
        fields.emplace_back(perMinute);
        out += Line(fields);
    }
    return out;
}

std::string LupSortFileBytes(const RaceRanking& k) {
    std::string out;
    for (int h = 1; h <= k.RunnerCount; ++h) {
        const auto i = static_cast<std::size_t>(h);
        std::vector<common::Field> fields = SortFields(k, h);
        fields.emplace_back(std::string(common::LeftCp932Chars(k.KisyuStr[i], 4)));
        fields.emplace_back(std::string(common::LeftCp932Chars(k.ChokyosiStr[i], 4)));
        fields.emplace_back(k.YosoTimeStr[i]);
        fields.emplace_back(k.Yoso3FStr[i]);
        out += Line(fields);
    }
    return out;
}

}  // namespace workbench

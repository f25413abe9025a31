#include "engine/measured_speed.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include "common/encoding.h"
#include "common/numbers.h"

// Failures: a time or distance that holds something other than a number throws
// std::runtime_error; the prediction of the horse stops there.
namespace engine {

namespace {

enum class TrackGroup { Flat, Hurdle, Other };

TrackGroup GroupOf(const ExRecord& record) {
    const std::string track = common::BlankZeros(record.Get(ex::TrackCD));
    if (track >= "01" && track <= "29") return TrackGroup::Flat;
    if (track >= "51" && track <= "59") return TrackGroup::Hurdle;
    return TrackGroup::Other;
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

/// The horse's own last-section time in tenths; nothing when the field is blank.
std::optional<float> LastSectionTenths(const ExRecord& record) {
    const std::string text = common::BlankZeros(record.Get(ex::HaronTimeL3));
    if (IsBlank(text)) return std::nullopt;
    return static_cast<float>(common::StrictNumberOf(text, "HaronTimeL3"));
}

/// The whole-race time in tenths, minutes x 600 + seconds and tenths; nothing when the time is
/// blank or "0000" (no time was taken).
std::optional<float> RaceTenths(const ExRecord& record) {
    const std::string text = common::BlankZeros(record.Get(ex::Time));
    if (IsBlank(text)) return std::nullopt;
    const double whole = common::StrictNumberOf(text, "Time");
    if (whole == 0) return std::nullopt;
    const double minutes = common::StrictNumberOf(text.substr(0, 1), "Time");
    const double seconds = common::StrictNumberOf(text.substr(1, 3), "Time");
    return static_cast<float>(minutes * 600 + seconds);
}

}  // namespace

float KyoriOf(const ExRecord& record) {
    const std::string_view kyori = record.Get(ex::Kyori);
    // Four digits, as nearly every run has, are their own number.
    if (const auto digits = common::DigitsValue(kyori)) return static_cast<float>(*digits);
    return static_cast<float>(common::StrictNumberOf(common::BlankZeros(kyori), "Kyori"));
}

std::string SpeedText(float kmh) {
    if (!(kmh >= 0.0f && kmh < 100.0f)) return "0000000";  // the seven digits cannot hold it
    // The single-precision speed is widened before it is scaled; the whole number below
    // 20000000 is written without its leading 1.
    const auto scaled = static_cast<std::int64_t>(std::floor(static_cast<double>(kmh) * 100000.0)) + 10000000;
    return common::NumberText(scaled).substr(1);
}

std::string AgariSpeed(const ExRecord& record) {
    const auto last = LastSectionTenths(record);
    if (!last) return std::string(7, ' ');
    float v = 0.0f;
    if (*last != 0.0f) {
        switch (GroupOf(record)) {
        case TrackGroup::Flat: v = 21600.0f / *last; break;
        case TrackGroup::Hurdle: v = 7200.0f / *last; break;
        case TrackGroup::Other: break;
        }
    }
    return SpeedText(v);
}

std::string PaceSpeed(const ExRecord& record) {
    const auto last = LastSectionTenths(record);
    if (!last) return std::string(7, ' ');
    const TrackGroup group = GroupOf(record);
    float v = 0.0f;
    if (*last != 0.0f && group != TrackGroup::Other) {
        const auto race = RaceTenths(record);
        if (race && *race > *last) {
            const float section = group == TrackGroup::Flat ? 600.0f : 200.0f;
            const float distance = KyoriOf(record) - section;
            const float time = *race - *last;
            v = distance / time;
            v = v * 36.0f;
        }
    }
    return SpeedText(v);
}

std::string SohaSpeed(const ExRecord& record) {
    const auto race = RaceTenths(record);
    float v = 0.0f;
    if (race) {
        const auto last = LastSectionTenths(record);
        if (!last || *race > *last) {
            v = KyoriOf(record) / *race;
            v = v * 36.0f;
        }
    }
    return SpeedText(v);
}

}  // namespace engine

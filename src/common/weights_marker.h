#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"

// The sign that the supplied model weights are installed, and the state label that reports it.
namespace common {

/// How much the weights-present label says: the start-up and button ③ add where new weights come
/// from; structure building leaves that sentence out.
enum class WeightsNote { WithSupportSite, Short };

/// The weights marker OPTION1N/KYOSOBA.dat under AppFolder (names matched without regard to case).
std::filesystem::path WeightsMarkerPath();

/// The state label's text when the weights are present, with the marker's date-and-time text.
std::string WeightsPresentText(std::string_view markerDateTime,
                               WeightsNote note = WeightsNote::WithSupportSite);

/// Looks for the weights marker. Present: the label turns light green and shows the marker's date
/// text, which is returned. Missing: the label is left alone and nothing is returned.
std::optional<std::string> ShowWeightsPresent(Host& host, WeightsNote note = WeightsNote::WithSupportSite);

}  // namespace common

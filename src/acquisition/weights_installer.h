#pragma once

#include <optional>
#include <string_view>

#include "common/host.h"

// The model weights are unpacked into OPTION1N by NEWSFX.EXE, a self-extracting archive supplied
// with them. Steps that need them ask the user to run it when they are missing.
namespace acquisition {

/// Put directly after AppFolder in the message.
inline constexpr std::string_view kSetFirstWeightsMessage =
    "に参照場所(展開フォルダ）に合わせてOKをクリックして初回予想因子パラメータをセットして下さい。";
/// The installer, in AppFolder.
inline constexpr std::string_view kWeightsInstaller = "NEWSFX.EXE";

/// Shows AppFolder followed by kSetFirstWeightsMessage, sets the main menu's Label1 to
/// `labelText` when one is given, and starts NEWSFX.EXE minimised without waiting for it.
void AskForFirstWeights(common::Host& host, std::optional<std::string_view> labelText = std::nullopt);

}  // namespace acquisition

#pragma once

#include <string>
#include <string_view>

#include "workbench/race_state.h"

// The fifteen ticket lines of a race in the PC-variant day report, "TF1" to "SBX": horses named
// by predicted rank, as many as the registered runner count and the race spread allow.
namespace supplementary {

/// How far the lines reach: "UF2" to rank E, "UBX" to G, the three trio lists to X, "SBX" to U.
struct PcWidths {
    int E = 0, G = 0, X = 0, U = 0;
};

/// The widths for a registered count and a spread column (two characters).
PcWidths PcKaimeWidths(std::string_view torokuTosu, std::string_view spread);

/// The race's fifteen lines; a rank the race does not have is left out of its line.
std::string WriteLupPcKaime(const workbench::RaceState& race);

}  // namespace supplementary

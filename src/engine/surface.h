#pragma once

#include <optional>
#include <string_view>

// The model set of a run, chosen by its track code: turf, dirt or hurdle.
namespace engine {

enum class Surface { Siba, Dirt, Shog };

inline constexpr Surface kSurfaces[] = {Surface::Siba, Surface::Dirt, Surface::Shog};

/// "10" to "22" turf, "23" to "29" dirt, "50" to "59" hurdle, compared as text; any other code
/// has no surface (the run gets no categories and no predicted speeds).
std::optional<Surface> SurfaceOfTrack(std::string_view trackCD);

/// The surface's part of the model file names: "Siba", "Dirt", "Shog".
std::string_view SurfaceName(Surface surface);

/// 0, 1, 2 for Siba, Dirt, Shog: the index of per-surface tables.
constexpr int SurfaceIndex(Surface surface) { return static_cast<int>(surface); }

}  // namespace engine

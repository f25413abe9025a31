#include "engine/surface.h"

namespace engine {

std::optional<Surface> SurfaceOfTrack(std::string_view trackCD) {
    // Byte-wise text comparison, as the codes were always compared.
    if (trackCD >= "10" && trackCD <= "22") return Surface::Siba;
    if (trackCD >= "23" && trackCD <= "29") return Surface::Dirt;
    if (trackCD >= "50" && trackCD <= "59") return Surface::Shog;
    return std::nullopt;
}

std::string_view SurfaceName(Surface surface) {
    switch (surface) {
    case Surface::Siba: return "Siba";
    case Surface::Dirt: return "Dirt";
    case Surface::Shog: return "Shog";
    }
    return "Siba";
}

}  // namespace engine

#pragma once

#include <array>
#include <string_view>

// The folders under AppFolder that the week's steps write into.
namespace common {

/// The working folders, in the order they are created.
inline constexpr std::array<std::string_view, 19> kWorkingFolders{
    "KAIME", "RACE", "SHUTSUBAHYO", "TEKICHU", "TANFUKU", "TANFUKU2",
    "UMAGOTOEXTHISWEEKN", "UMAGOTOTHISWEEKN", "TANSHO", "FUKUSHO", "UMAREN", "UMATAN",
    "SANRENPUKU", "SANRENTAN", "WIDE", "SOKUDO",
    "tarnel_paddy_wp", "tarnel_paddy_yosou", "tarnel_paddy_pdf",
};

/// Creates every working folder under AppFolder. An existing folder is no failure; any other
/// failure is logged under `step` and the next folder is tried.
void CreateWorkingFolders(std::string_view step);

}  // namespace common

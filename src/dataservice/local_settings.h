#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// The stand-in data service's own settings: one small file in the application folder, like every
// other file of the program, so that each folder has its own and a run on one folder never takes
// another's data folder or download pace.
namespace dataservice {

/// The settings file's name in the application folder.
inline constexpr std::string_view kSettingsFileName = "JVLINKSETTINGS.txt";

struct LocalSettings {
    /// Folder the stand-in serves from; empty means AppFolder/jvdata.
    std::string rootFolder;
    /// Simulated download pace in files per second; 0 (or less) means everything is already
    /// downloaded and an open reports a download count of 0.
    double filesPerSecond = 0;

    bool operator==(const LocalSettings&) const = default;
};

/// AppFolder/JVLINKSETTINGS.txt.
std::filesystem::path DefaultSettingsFile();

/// Reads the settings file: lines "root=<folder>" and "pace=<files per second>" (UTF-8).
/// A missing file, unknown lines and values that do not read give the defaults. A file that is
/// there but cannot be read (or is a folder) throws std::system_error naming it.
LocalSettings LoadSettings(const std::filesystem::path& file);

/// Writes the settings file (creating its folder) through a scratch file and a rename.
/// False when it cannot be written or when the root holds a line break.
bool SaveSettings(const std::filesystem::path& file, const LocalSettings& settings);

/// The folder served: the setting, made absolute against AppFolder when relative, or
/// AppFolder/jvdata when empty.
std::filesystem::path RootFolderOf(const LocalSettings& settings);

/// Lets the user change the settings (the window build shows a dialog). Returns true when the
/// user accepted, with `settings` holding the chosen values; false when cancelled.
using SettingsEditor = std::function<bool(LocalSettings& settings)>;

}  // namespace dataservice

#include "dataservice/local_settings.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <string_view>
#include <system_error>

#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"

namespace dataservice {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRootKey = "root=";
constexpr std::string_view kPaceKey = "pace=";

bool ReadPace(std::string_view text, double& pace) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return false;
    pace = value < 0 ? 0 : value;
    return true;
}

std::string PaceText(double pace) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, pace);
    return ec == std::errc{} ? std::string(buf, end) : "0";
}

}  // namespace

fs::path DefaultSettingsFile() { return common::AppPath(kSettingsFileName); }

LocalSettings LoadSettings(const fs::path& file) {
    LocalSettings settings;
    // A file that is there but cannot be read throws: its settings are not the defaults, and a
    // fetch run on the defaults would serve another folder's data.
    const std::string content = common::ReadFileBytes(file);
    for (const std::string& line : common::SplitLines(content)) {
        std::string_view l(line);
        if (l.starts_with(kRootKey)) {
            settings.rootFolder = std::string(l.substr(kRootKey.size()));
        } else if (l.starts_with(kPaceKey)) {
            double pace = 0;
            if (ReadPace(l.substr(kPaceKey.size()), pace)) settings.filesPerSecond = pace;
        }
    }
    return settings;
}

bool SaveSettings(const fs::path& file, const LocalSettings& settings) {
    // One setting per line: a line break inside the root would read back as another setting.
    if (settings.rootFolder.find_first_of("\r\n") != std::string::npos) return false;
    if (!std::isfinite(settings.filesPerSecond)) return false;
    std::string content;
    content += kRootKey;
    content += settings.rootFolder;
    content += '\n';
    content += kPaceKey;
    content += PaceText(settings.filesPerSecond < 0 ? 0 : settings.filesPerSecond);
    content += '\n';
    try {
        std::error_code ec;
        if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
        if (ec) return false;
        common::WriteFileAtomically(file, content);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

fs::path RootFolderOf(const LocalSettings& settings) {
    if (settings.rootFolder.empty()) return common::AppPath("jvdata");
    fs::path root(settings.rootFolder);
    return root.is_absolute() ? root : common::AppPath(settings.rootFolder);
}

}  // namespace dataservice

#include "common/paths.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <system_error>

namespace common {

namespace fs = std::filesystem;

namespace {
std::string& AppFolderValue() {
    static std::string value;
    return value;
}

std::string WithOneSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

const std::string& GetAppFolder() {
    static const std::string cache = [] {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        std::string folder = ec ? fs::current_path().string() : exe.parent_path().string();
        return WithOneSeparator(folder);
    }();
    return cache;
}

const std::string& AppFolder() {
    std::string& v = AppFolderValue();
    if (v.empty()) v = GetAppFolder();
    return v;
}

void SetAppFolder(std::string folder) { AppFolderValue() = WithOneSeparator(std::move(folder)); }

fs::path AppPath(std::string_view relative) {
    std::string rel(relative);
    std::replace(rel.begin(), rel.end(), '\\', '/');
    while (!rel.empty() && rel.front() == '/') rel.erase(0, 1);  // the doubled separator of "\UMAGOTO..."
    // The folder ends in its separator, so joining is plain concatenation (the path parses once).
    return fs::path(AppFolder() + rel);
}

fs::path FindNoCase(const fs::path& folder, std::string_view name) {
    std::error_code ec;
    fs::path exact = folder / fs::path(name);
    if (fs::exists(exact, ec)) return exact;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (EqualNoCase(it->path().filename().string(), name)) return it->path();
    }
    return exact;
}

fs::path Option1nPath(std::string_view name) { return FindNoCase(FindNoCase(AppFolder(), "OPTION1N"), name); }

fs::path JraCodePath(std::string_view name) { return FindNoCase(FindNoCase(AppFolder(), "JRACODE"), name); }

bool IsSafeKey(std::string_view key) {
    if (key.empty()) return false;
    return std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

bool IsPlainFileNamePart(std::string_view name) {
    if (name == "." || name == "..") return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte == '/' || byte == '\\' || byte < 0x20 || byte == 0x7F) return false;
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        if (byte == 0xC2 && i + 1 < name.size()) {
            const auto next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0x80 && next <= 0x9F) return false;
        }
    }
    return true;
}

}  // namespace common

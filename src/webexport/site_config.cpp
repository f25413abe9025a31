#include "webexport/site_config.h"

#include <exception>
#include <mutex>
#include <string>

#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"

namespace webexport {
namespace {

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool StartsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

// Ids stand inside script text, where escaping cannot help.
bool IsId(std::string_view value) {
    for (const char c : value)
        if (!IsAsciiAlnum(c) && c != '.' && c != '_' && c != '-') return false;
    return true;
}

// http(s)://host[:port][/path]; the path of letters, digits and . _ ~ / -.
bool IsSiteBase(std::string_view value) {
    std::string_view rest;
    if (StartsWith(value, "https://")) rest = value.substr(8);
    else if (StartsWith(value, "http://")) rest = value.substr(7);
    else return false;
    std::size_t i = 0;
    while (i < rest.size() && (IsAsciiAlnum(rest[i]) || rest[i] == '.' || rest[i] == '-')) ++i;
    if (i == 0) return false;
    if (i < rest.size() && rest[i] == ':') {
        const std::size_t port = ++i;
        while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') ++i;
        if (i == port) return false;
    }
    if (i < rest.size() && rest[i] != '/') return false;
    for (; i < rest.size(); ++i) {
        const char c = rest[i];
        if (!IsAsciiAlnum(c) && c != '.' && c != '_' && c != '~' && c != '/' && c != '-') return false;
    }
    return true;
}

// https:// or // (the page's own protocol), then printable ASCII without blanks, quotes, < > or \.
bool IsScriptUrl(std::string_view value) {
    std::string_view rest;
    if (StartsWith(value, "https://")) rest = value.substr(8);
    else if (StartsWith(value, "//")) rest = value.substr(2);
    else return false;
    if (rest.empty()) return false;
    for (const char c : rest) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7f || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\') return false;
    }
    return true;
}

// One line of text: no control characters, C1 (U+0080 to U+009F, C2 80 to C2 9F) included.
bool IsOneLineText(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto b = static_cast<unsigned char>(value[i]);
        if (b < 0x20 || b == 0x7f) return false;
        if (b == 0xC2 && i + 1 < value.size() && static_cast<unsigned char>(value[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(value[i + 1]) <= 0x9F)
            return false;
    }
    return true;
}

struct Key {
    std::string_view name;
    std::string SiteConfig::*member;
    bool (*check)(std::string_view);
};

const Key kKeys[] = {
    {"SiteBase", &SiteConfig::SiteBase, IsSiteBase},
    {"ContactAddress", &SiteConfig::ContactAddress, IsOneLineText},
    {"FooterNotice", &SiteConfig::FooterNotice, IsOneLineText},
    {"AdClientId", &SiteConfig::AdClientId, IsId},
    {"AdSlotSide", &SiteConfig::AdSlotSide, IsId},
    {"AdSlotMain", &SiteConfig::AdSlotMain, IsId},
    {"AdScriptUrl", &SiteConfig::AdScriptUrl, IsScriptUrl},
    {"AnalyticsTrackerId", &SiteConfig::AnalyticsTrackerId, IsId},
    {"AnalyticsScriptUrl", &SiteConfig::AnalyticsScriptUrl, IsScriptUrl},
};

}  // namespace

SiteConfig ParseSiteConfig(std::string_view content, std::vector<std::string>& notes) {
    if (StartsWith(content, "\xEF\xBB\xBF")) content.remove_prefix(3);
    SiteConfig config;
    int lineNo = 0;
    for (const std::string& raw : common::SplitLines(content)) {
        ++lineNo;
        const std::string_view line = Trimmed(raw);
        if (line.empty() || line[0] == '#') continue;
        const std::string where = std::string(kSiteConfigFile) + " line " + std::to_string(lineNo);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            notes.push_back(where + ": no \"=\" in the line");
            continue;
        }
        const std::string_view name = Trimmed(line.substr(0, eq));
        const std::string_view value = Trimmed(line.substr(eq + 1));
        const Key* key = nullptr;
        for (const Key& k : kKeys)
            if (k.name == name) key = &k;
        if (!key) {
            notes.push_back(where + ", key " + std::string(name) + ": not a known key");
            continue;
        }
        if (!value.empty() && !key->check(value)) {
            notes.push_back(where + ", key " + std::string(name) + ": value not allowed, left empty");
            continue;
        }
        std::string kept(value);
        if (key->member == &SiteConfig::SiteBase)
            while (!kept.empty() && kept.back() == '/') kept.pop_back();
        config.*(key->member) = std::move(kept);
    }
    return config;
}

SiteConfig LoadSiteConfig() {
    std::vector<std::string> notes;
    SiteConfig config;
    try {
        config = ParseSiteConfig(common::ReadFileBytes(common::AppPath(kSiteConfigFile)), notes);
    } catch (const std::exception& e) {
        notes.push_back(std::string(kSiteConfigFile) + ": " + e.what());
    }
    for (const std::string& note : notes) common::LogError(kSiteConfigFile, note);
    return config;
}

std::shared_ptr<const SiteConfig> RunSiteConfig() {
    static std::mutex mutex;
    static std::weak_ptr<const SiteConfig> current;
    const std::lock_guard lock(mutex);
    if (auto live = current.lock()) return live;
    auto fresh = std::make_shared<const SiteConfig>(LoadSiteConfig());
    current = fresh;
    return fresh;
}

}  // namespace webexport

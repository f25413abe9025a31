#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The web site the pages are published on and its outside services, read from webexport.ini in
// the application folder. Every value defaults to empty.
namespace webexport {

/// The settings file's name under AppFolder.
inline constexpr std::string_view kSiteConfigFile = "webexport.ini";

struct SiteConfig {
    /// Scheme, host and path without a trailing slash; empty makes every link begin with its path.
    std::string SiteBase;
    std::string ContactAddress;
    std::string FooterNotice;
    std::string AdClientId;
    std::string AdSlotSide;
    std::string AdSlotMain;
    std::string AdScriptUrl;
    std::string AnalyticsTrackerId;
    std::string AnalyticsScriptUrl;

    bool HasSideAd() const { return !AdClientId.empty() && !AdSlotSide.empty() && !AdScriptUrl.empty(); }
    bool HasMainAd() const { return !AdClientId.empty() && !AdSlotMain.empty() && !AdScriptUrl.empty(); }
    bool HasAnalytics() const { return !AnalyticsTrackerId.empty() && !AnalyticsScriptUrl.empty(); }
};

/// Reads the settings from the file's content (UTF-8, a byte-order mark ignored, one Key=Value a
/// line, "#" starting a comment line). A value that fails its check, an unknown key and a line
/// without "=" keep the default; each is described in `notes` with its line and key.
SiteConfig ParseSiteConfig(std::string_view content, std::vector<std::string>& notes);

/// Reads AppFolder/webexport.ini: a missing file gives the defaults without a note; what was
/// passed over goes to ERRORLOG.txt.
SiteConfig LoadSiteConfig();

/// The settings of the current batch run, shared by its web writers: read when the first of
/// them is made, and again for the next run once the writers of the last one are gone.
std::shared_ptr<const SiteConfig> RunSiteConfig();

}  // namespace webexport

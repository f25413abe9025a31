#include "webexport/site_config.h"

#include <gtest/gtest.h>

#include "common/paths.h"
#include "support/temp_folder.h"
#include "web_fixture.h"

namespace {

using webexport::SiteConfig;

SiteConfig Parse(std::string_view content, std::vector<std::string>& notes) {
    return webexport::ParseSiteConfig(content, notes);
}

TEST(SiteConfig, EveryKeyWithCrLfAndByteOrderMark) {
    std::vector<std::string> notes;
    const SiteConfig c = Parse("\xEF\xBB\xBF" + std::string(webfixture::kFullSettings), notes);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(c.SiteBase, "https://keiba.example.jp");
    EXPECT_EQ(c.ContactAddress, "info@example.jp");
    EXPECT_EQ(c.FooterNotice, "Copyright (C) Tarnel & Paddy");
    EXPECT_EQ(c.AdClientId, "pub-1234");
    EXPECT_EQ(c.AdSlotSide, "111");
    EXPECT_EQ(c.AdSlotMain, "222");
    EXPECT_EQ(c.AdScriptUrl, "https://ads.example.net/show.js?v=1&x=2");
    EXPECT_EQ(c.AnalyticsTrackerId, "UA-42.1");
    EXPECT_EQ(c.AnalyticsScriptUrl, "//stats.example.org/track.js");
    EXPECT_TRUE(c.HasSideAd() && c.HasMainAd() && c.HasAnalytics());
}

TEST(SiteConfig, ValuesThatFailTheirCheckKeepTheDefault) {
    struct Case {
        std::string line;
        std::string SiteConfig::*member;
        std::string kept;  // "" when refused
        bool noted;
    };
    const Case cases[] = {
        {"SiteBase=https://a.example:8080/sub/dir//", &SiteConfig::SiteBase, "https://a.example:8080/sub/dir", false},
        {"SiteBase=http://a.example", &SiteConfig::SiteBase, "http://a.example", false},
        {"SiteBase=javascript:alert(1)", &SiteConfig::SiteBase, "", true},
        {"SiteBase=https://a.example/\"onmouseover=x", &SiteConfig::SiteBase, "", true},
        {"SiteBase=ftp://a.example", &SiteConfig::SiteBase, "", true},
        {"AdClientId=pub\"1", &SiteConfig::AdClientId, "", true},
        {"AdSlotSide=1</script>", &SiteConfig::AdSlotSide, "", true},
        {"AnalyticsTrackerId=UA 1", &SiteConfig::AnalyticsTrackerId, "", true},
        {"AdScriptUrl=http://ads.example.net/a.js", &SiteConfig::AdScriptUrl, "", true},
        {"AdScriptUrl=https://ads.example.net/a\".js", &SiteConfig::AdScriptUrl, "", true},
        {"AnalyticsScriptUrl=javascript:x", &SiteConfig::AnalyticsScriptUrl, "", true},
        {"AnalyticsScriptUrl=//s.example.org/t.js", &SiteConfig::AnalyticsScriptUrl, "//s.example.org/t.js", false},
        {"ContactAddress=a\x7f@example.jp", &SiteConfig::ContactAddress, "", true},
        {"FooterNotice=<b>&</b>", &SiteConfig::FooterNotice, "<b>&</b>", false},
        {"Unknown=1", &SiteConfig::SiteBase, "", true},
        {"SiteBase https://a.example", &SiteConfig::SiteBase, "", true},
        {"# SiteBase=https://a.example", &SiteConfig::SiteBase, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> notes;
        const SiteConfig config = Parse("\r\n" + c.line + "\r\n", notes);
        EXPECT_EQ(config.*(c.member), c.kept);
        ASSERT_EQ(notes.size(), c.noted ? 1u : 0u);
        if (c.noted) {
            EXPECT_NE(notes[0].find("line 2"), std::string::npos) << notes[0];
        }
    }
}

TEST(SiteConfig, FragmentsNeedAllTheirSettings) {
    std::vector<std::string> notes;
    const SiteConfig c = Parse("AdClientId=pub-1\nAdSlotSide=1\nAnalyticsTrackerId=UA-1\n", notes);
    EXPECT_FALSE(c.HasSideAd());  // no script address
    EXPECT_FALSE(c.HasMainAd());
    EXPECT_FALSE(c.HasAnalytics());
}

TEST(SiteConfig, LoadFromTheApplicationFolder) {
    testsupport::TempAppFolder dir;
    // Missing file: defaults, nothing logged, nothing created.
    const SiteConfig none = webexport::LoadSiteConfig();
    EXPECT_EQ(none.SiteBase, "");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
    EXPECT_FALSE(dir.Exists("webexport.ini"));

    dir.Write("webexport.ini", "SiteBase=https://a.example/\r\nAdSlotMain=<x>\r\n");
    const SiteConfig some = webexport::LoadSiteConfig();
    EXPECT_EQ(some.SiteBase, "https://a.example");
    EXPECT_EQ(some.AdSlotMain, "");
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("webexport.ini line 2, key AdSlotMain"), std::string::npos) << log;
}

TEST(SiteConfig, OneReadPerRun) {
    testsupport::TempAppFolder dir;
    dir.Write("webexport.ini", "Bad line\r\n");
    {
        auto first = webexport::RunSiteConfig();
        auto second = webexport::RunSiteConfig();  // the same run's other writers
        EXPECT_EQ(first.get(), second.get());
    }
    const auto next = webexport::RunSiteConfig();  // a new run reads again
    EXPECT_TRUE(next);
    const std::string log = dir.Read("ERRORLOG.txt");
    std::size_t entries = 0;
    for (auto at = log.find("no \"=\""); at != std::string::npos; at = log.find("no \"=\"", at + 1)) ++entries;
    EXPECT_EQ(entries, 2u);
}

}  // namespace

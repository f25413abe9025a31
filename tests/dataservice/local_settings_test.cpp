#include "dataservice/local_settings.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "common/paths.h"
#include "dataservice/local_jvlink.h"
#include "support/temp_folder.h"

namespace dataservice {
namespace {

namespace fs = std::filesystem;

TEST(LocalSettings, SavedFileReadsBackAndHasItsSimpleForm) {
    testsupport::TempAppFolder app;
    const fs::path file = app / "cfg/deep/settings";
    ASSERT_TRUE(SaveSettings(file, {"/data/jv 週", 2.5}));
    EXPECT_EQ(app.Read("cfg/deep/settings"), "root=/data/jv 週\npace=2.5\n");
    EXPECT_EQ(LoadSettings(file), (LocalSettings{"/data/jv 週", 2.5}));
}

TEST(LocalSettings, LoadingIsLenient) {
    testsupport::TempAppFolder app;
    struct Case {
        const char* content;
        LocalSettings expected;
    };
    const Case cases[] = {
        {"", {"", 0}},
        {"root=/a\r\npace=4\r\n", {"/a", 4}},
        {"pace=abc\nroot=/a\nfoo=bar\n", {"/a", 0}},
        {"pace=-3\n", {"", 0}},
        {"pace=3x\n", {"", 0}},
        {"root=/a\nroot=/b\n", {"/b", 0}},
    };
    for (const Case& c : cases) {
        app.Write("settings", c.content);
        EXPECT_EQ(LoadSettings(app / "settings"), c.expected) << c.content;
    }
    EXPECT_EQ(LoadSettings(app / "missing"), (LocalSettings{"", 0}));
    EXPECT_FALSE(app.Exists("missing"));
}

// A settings file that is there but cannot be read is not a missing one: its settings are not the
// defaults, and it is told, naming the file.
TEST(LocalSettings, AFileThatCannotBeReadThrowsRatherThanGivingTheDefaults) {
    testsupport::TempAppFolder app;
    app.Write("settings/inside", "root=/elsewhere\n");  // a folder where the file should be
    try {
        LoadSettings(app / "settings");
        ADD_FAILURE() << "read as the defaults";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find((app / "settings").string()), std::string::npos) << e.what();
    }

    // The stand-in tells it at JVInit, and serves nothing until settings can be read.
    LocalJVLink::Config config;
    config.settingsFile = app / "settings";
    LocalJVLink link(std::move(config));
    EXPECT_THROW(link.JVInit("sid"), std::exception);
    int readCount = 0, downloadCount = 0;
    std::string timestamp;
    EXPECT_EQ(link.JVOpen("RACE", "00000000000000", 2, readCount, downloadCount, timestamp), kRcNotInitialised);
}

TEST(LocalSettings, SaveFailsRatherThanWritingSomethingElse) {
    testsupport::TempAppFolder app;
    EXPECT_FALSE(SaveSettings(app / "settings", {"/a\npace=9", 0}));
    EXPECT_FALSE(app.Exists("settings"));
    app.Write("blocker", "a file where a folder should be");
    EXPECT_FALSE(SaveSettings(app / "blocker/settings", {"/a", 0}));

    // A failed save leaves the earlier file whole.
    ASSERT_TRUE(SaveSettings(app / "settings", {"/old", 1}));
    EXPECT_FALSE(SaveSettings(app / "settings", {"/new\r", 1}));
    EXPECT_EQ(LoadSettings(app / "settings"), (LocalSettings{"/old", 1}));
}

TEST(LocalSettings, RootDefaultsToJvdataInTheAppFolder) {
    testsupport::TempAppFolder app;
    EXPECT_EQ(RootFolderOf({}), app.Path() / "jvdata");
    EXPECT_EQ(RootFolderOf({"week/jv", 0}), app.Path() / "week/jv");
    EXPECT_EQ(RootFolderOf({"/srv/jv", 0}), fs::path("/srv/jv"));
}

TEST(LocalSettings, KeptInTheApplicationFolderOfTheRun) {
    testsupport::TempAppFolder app;
    EXPECT_EQ(DefaultSettingsFile(), app.Path() / "JVLINKSETTINGS.txt");

    // A stand-in made with the default place saves the dialog's choice into the folder...
    LocalJVLink link(LocalJVLink::Config{{}, [](LocalSettings& s) { s = {"week", 2}; return true; }, {}});
    ASSERT_EQ(link.JVSetUIProperties(), 0);
    EXPECT_EQ(app.Read("JVLINKSETTINGS.txt"), "root=week\npace=2\n");

    // ...and one made for another folder neither sees nor changes them.
    testsupport::TempAppFolder other;
    LocalJVLink elsewhere;
    EXPECT_EQ(elsewhere.Settings(), (LocalSettings{"", 0}));
    other.Write("JVLINKSETTINGS.txt", "pace=5\n");
    elsewhere.JVInit("UNKNOWN");
    EXPECT_EQ(elsewhere.Settings(), (LocalSettings{"", 5}));
    EXPECT_EQ(app.Read("JVLINKSETTINGS.txt"), "root=week\npace=2\n");
}

class SetUIPropertiesTest : public ::testing::Test {
protected:
    testsupport::TempAppFolder app;
    fs::path settingsFile = app / "cfg/settings";

    LocalJVLink Make(SettingsEditor editor, const fs::path& file) {
        return LocalJVLink(LocalJVLink::Config{file, std::move(editor), {}});
    }
};

TEST_F(SetUIPropertiesTest, OkSavesCancelKeepsFailureGivesMinusOne) {
    ASSERT_TRUE(SaveSettings(settingsFile, {"/before", 1}));
    int shown = 0;
    LocalSettings seen;

    auto cancelling = Make([&](LocalSettings& s) { ++shown; seen = s; s.rootFolder = "/ignored"; return false; },
                           settingsFile);
    EXPECT_EQ(cancelling.JVSetUIProperties(), 0);
    EXPECT_EQ(seen, (LocalSettings{"/before", 1}));  // the dialog starts from the kept settings
    EXPECT_EQ(LoadSettings(settingsFile), (LocalSettings{"/before", 1}));
    EXPECT_EQ(cancelling.Settings(), (LocalSettings{"/before", 1}));

    auto accepting = Make([&](LocalSettings& s) { ++shown; s = {"/after", 3}; return true; }, settingsFile);
    EXPECT_EQ(accepting.JVSetUIProperties(), 0);  // before any JVInit
    EXPECT_EQ(LoadSettings(settingsFile), (LocalSettings{"/after", 3}));
    EXPECT_EQ(accepting.Settings(), (LocalSettings{"/after", 3}));
    EXPECT_EQ(shown, 2);

    // Another instance made earlier picks the change up at its next JVInit.
    EXPECT_EQ(cancelling.Settings().rootFolder, "/before");
    cancelling.JVInit("UNKNOWN");
    EXPECT_EQ(cancelling.Settings(), (LocalSettings{"/after", 3}));

    app.Write("blocker", "x");
    auto unsaveable = Make([](LocalSettings& s) { s.rootFolder = "/x"; return true; }, app / "blocker/settings");
    EXPECT_EQ(unsaveable.JVSetUIProperties(), kRcSettingsFailed);
    EXPECT_EQ(unsaveable.Settings().rootFolder, "");

    auto withoutDialog = Make({}, settingsFile);
    EXPECT_EQ(withoutDialog.JVSetUIProperties(), kRcSettingsFailed);
}

TEST_F(SetUIPropertiesTest, ChosenRootIsServedAfterInit) {
    app.Write("one/stored/RACE/f", "RA1\r\n");
    app.Write("two/stored/RACE/f", "RA2\r\n");
    app.Write("two/stored/RACE/g", "RA3\r\n");
    ASSERT_TRUE(SaveSettings(settingsFile, {(app / "one").string(), 0}));
    auto link = Make([&](LocalSettings& s) { s.rootFolder = (app / "two").string(); return true; }, settingsFile);
    link.JVInit("UNKNOWN");
    OpenCounts counts;
    ASSERT_EQ(link.JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 1);
    link.JVClose();
    ASSERT_EQ(link.JVSetUIProperties(), 0);
    ASSERT_EQ(link.JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 2);
}

}  // namespace
}  // namespace dataservice

#include "dataservice/settings_dialog.h"

#include <filesystem>
#include <functional>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "dataservice/local_jvlink.h"
#include "dataservice/local_settings.h"
#include "support/temp_folder.h"

namespace dataservice {
namespace {

namespace fs = std::filesystem;

/// Runs `act` on the settings dialog once it is shown modally.
void WhenDialogShows(std::function<void(SettingsDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

LocalJVLink MakeLink(const fs::path& settingsFile) {
    return LocalJVLink(LocalJVLink::Config{settingsFile, DialogSettingsEditor(nullptr), {}});
}

TEST(SettingsDialog, OkSavesTheChosenFolderAndPace) {
    testsupport::TempAppFolder app;
    const fs::path file = app / "cfg/settings";
    ASSERT_TRUE(SaveSettings(file, {"/before", 1}));
    LocalJVLink link = MakeLink(file);

    WhenDialogShows([](SettingsDialog& d) {
        auto* root = d.findChild<QLineEdit*>("RootFolderEdit");
        auto* pace = d.findChild<QDoubleSpinBox*>("PaceSpinBox");
        ASSERT_TRUE(root && pace);
        EXPECT_EQ(root->text(), "/before");  // opens on the kept settings
        EXPECT_EQ(pace->value(), 1.0);
        root->setText("  /srv/週/jv  ");
        pace->setValue(4);
        d.findChild<QPushButton*>("OkButton")->click();
    });
    EXPECT_EQ(link.JVSetUIProperties(), 0);
    EXPECT_EQ(LoadSettings(file), (LocalSettings{"/srv/週/jv", 4}));
    EXPECT_EQ(link.Settings(), (LocalSettings{"/srv/週/jv", 4}));
}

TEST(SettingsDialog, CancelKeepsAndAnUnsaveableFileGivesMinusOne) {
    testsupport::TempAppFolder app;
    const fs::path file = app / "cfg/settings";
    ASSERT_TRUE(SaveSettings(file, {"/before", 1}));
    LocalJVLink link = MakeLink(file);
    WhenDialogShows([](SettingsDialog& d) {
        d.findChild<QLineEdit*>("RootFolderEdit")->setText("/changed");
        d.findChild<QPushButton*>("CancelButton")->click();
    });
    EXPECT_EQ(link.JVSetUIProperties(), 0);
    EXPECT_EQ(LoadSettings(file), (LocalSettings{"/before", 1}));

    app.Write("blocker", "x");
    LocalJVLink blocked = MakeLink(app / "blocker/settings");
    WhenDialogShows([](SettingsDialog& d) { d.findChild<QPushButton*>("OkButton")->click(); });
    EXPECT_EQ(blocked.JVSetUIProperties(), kRcSettingsFailed);
}

TEST(SettingsDialog, EmptyRootShowsTheDefaultAsPlaceholder) {
    testsupport::TempAppFolder app;
    SettingsDialog dialog(LocalSettings{}, nullptr);
    auto* root = dialog.findChild<QLineEdit*>("RootFolderEdit");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(), "");
    EXPECT_EQ(root->placeholderText().toStdString(), (app.Path() / "jvdata").string());
    EXPECT_EQ(dialog.Settings(), (LocalSettings{"", 0}));
}

}  // namespace
}  // namespace dataservice

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "common/paths.h"

#include <string>

#include <gtest/gtest.h>

#include "common/error_log.h"
#include "common/file_time.h"
#include "support/temp_folder.h"

namespace {

TEST(AppFolder, ProgramFolderIsCachedWithOneSeparator) {
    const std::string first = common::GetAppFolder();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), '/');
    EXPECT_NE(first.substr(0, first.size() - 1).back(), '/');
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    EXPECT_EQ(&common::GetAppFolder(), &common::GetAppFolder());
    EXPECT_EQ(common::GetAppFolder(), first);
    std::filesystem::current_path(before);
}

TEST(AppFolder, RelativePathsAndCaseInsensitiveSuppliedFolders) {
    testsupport::TempAppFolder dir;
    common::SetAppFolder(dir.Path().string() + "//");
    EXPECT_EQ(common::AppFolder(), dir.Path().string() + "//");
    common::SetAppFolder(dir.Path().string());
    EXPECT_EQ(common::AppFolder(), dir.Path().string() + "/");
    EXPECT_EQ(common::AppPath("\\UMAGOTOTHISWEEKN\\1.dat"), dir.Path() / "UMAGOTOTHISWEEKN/1.dat");
    EXPECT_EQ(common::AppPath("KAIME\\x.dat"), dir.Path() / "KAIME/x.dat");

    dir.Write("option1n/kyosoba.DAT", "x");
    dir.Write("JraCode/codetable.csv", "y");
    EXPECT_EQ(common::Option1nPath("KYOSOBA.dat"), dir.Path() / "option1n/kyosoba.DAT");
    EXPECT_EQ(common::JraCodePath("CodeTable.csv"), dir.Path() / "JraCode/codetable.csv");
    EXPECT_EQ(common::Option1nPath("MARE.dat"), dir.Path() / "option1n/MARE.dat");
}

TEST(Keys, OnlyLettersAndDigitsMayBecomePartOfAPath) {
    EXPECT_TRUE(common::IsSafeKey("2019104567"));
    EXPECT_TRUE(common::IsSafeKey("A019104567"));
    for (const char* bad : {"", "../etc", "12/34", "12\\34", "12 34", "12.dat"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(common::IsSafeKey(bad));
    }
}

TEST(Keys, PlainFileNamePartsStayInsideTheirFolder) {
    struct Case {
        std::string name;
        bool plain;
    };
    const Case cases[] = {
        {"東京", true},
        {"Tokyo", true},
        {"ソ表", true},  // UTF-8 bytes never hold "\\", whatever the CP932 form does
        {"", true},      // no course name: the file name without it
        {"...", true},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"/", false},
        {"a\\b", false},
        {"a\tb", false},
        {std::string("a\0b", 3), false},
        {"a\x7F", false},
        {"a\u0085", false},  // a C1 control (NEL)
        {"\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(common::IsPlainFileNamePart(c.name), c.plain);
    }
}

TEST(ErrorLog, PassOverLogsTheFailureAndGoesOn) {
    testsupport::TempAppFolder dir;
    EXPECT_TRUE(common::PassOver("step", [] {}));
    EXPECT_FALSE(common::PassOver("構造体", [] { throw std::runtime_error("bad record 7"); }));
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("[構造体] bad record 7\r\n"), std::string::npos);
}

TEST(ErrorLog, EveryEntryStaysOneLineWhateverItsFieldsHold) {
    using namespace std::string_literals;
    struct Case {
        std::string step, reason, shown;  // shown: "[step] reason" as the line holds it
    };
    const Case cases[] = {
        {"fetch", "line one\r\nline two", "[fetch] line one\\r\\nline two"},
        {"two\nlines", "a\tb", "[two\\nlines] a\\tb"},
        {"s", "nul \0 esc \x1b unit \x1f del \x7f"s, "[s] nul \\x00 esc \\x1B unit \\x1F del \\x7F"},
        // Printable bytes pass as they are: a backslash, a blank, multi-byte text.
        {"構造体", "C:\\jv data 週", "[構造体] C:\\jv data 週"},
    };
    for (const Case& c : cases) {
        testsupport::TempAppFolder dir;
        common::LogError(c.step, c.reason);
        const std::string log = dir.Read("ERRORLOG.txt");
        SCOPED_TRACE(c.shown);
        ASSERT_GE(log.size(), 21u);
        // "yyyy/mm/dd hh:mm:ss " then the fields, then the only CR LF.
        EXPECT_EQ(log.substr(19, 1), " ");
        EXPECT_EQ(log.substr(20), c.shown + "\r\n");
        EXPECT_EQ(log.find_first_of("\r\n"), log.size() - 2);
    }
}

TEST(FileTime, DatesOfTextsAndDayDifferences) {
    using namespace std::chrono;
    EXPECT_EQ(common::DateOfText("2024/02/29 10:00:00"), year_month_day(year{2024}, month{2}, day{29}));
    EXPECT_FALSE(common::DateOfText("2023/02/29"));
    EXPECT_FALSE(common::DateOfText("yesterday!"));
    EXPECT_EQ(common::DaysBetween(year{2024} / 2 / 28, year{2024} / 3 / 1), 2);
    EXPECT_EQ(common::DaysBetween(year{2024} / 3 / 1, year{2024} / 2 / 28), -2);

    testsupport::TempAppFolder dir;
    EXPECT_FALSE(common::FileDateTimeText(dir / "none"));
    dir.Write("f", "x");
    auto text = common::FileDateTimeText(dir / "f");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 19u);
    EXPECT_TRUE(common::DateOfText(*text));
}

}  // namespace

#include "common/day_files.h"

#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(DayFiles, ADayKeepsItsRacesWhenAnotherDayComesInBetween) {
    testsupport::TempAppFolder dir;
    dir.Write("TEKICHU/A.txt", "last week\r\n");
    dir.Write("TEKICHU/B.txt", "last week\r\n");
    const fs::path a = dir / "TEKICHU/A.txt";
    const fs::path b = dir / "TEKICHU/B.txt";

    common::DayFiles files;
    EXPECT_TRUE(files.IsNew(a));
    files.Append(a, "A1\r\n");
    EXPECT_FALSE(files.IsNew(a));
    EXPECT_TRUE(files.IsNew(b));
    files.Append(b, "B1\r\n");
    files.Append(a, "A2\r\n");
    EXPECT_EQ(dir.Read("TEKICHU/A.txt"), "A1\r\nA2\r\n");
    EXPECT_EQ(dir.Read("TEKICHU/B.txt"), "B1\r\n");

    // The next run empties each file once and writes it again.
    common::DayFiles again;
    EXPECT_TRUE(again.IsNew(a));
    again.Append(a, "A1'\r\n");
    again.Append(b, "B1'\r\n");
    again.Append(a, "A2'\r\n");
    EXPECT_EQ(dir.Read("TEKICHU/A.txt"), "A1'\r\nA2'\r\n");
    EXPECT_EQ(dir.Read("TEKICHU/B.txt"), "B1'\r\n");

    // Two spellings of one path are one file.
    EXPECT_FALSE(again.IsNew(dir.Path() / "TEKICHU//./A.txt"));
}

TEST(DayFiles, ReplaceRewritesTheWholeFileAndMarksItMet) {
    testsupport::TempAppFolder dir;
    dir.Write("SOKUDO/d.txt", "last week\r\n");
    const fs::path d = dir / "SOKUDO/d.txt";
    common::DayFiles files;
    files.Replace(d, "race 1\r\n");
    EXPECT_FALSE(files.IsNew(d));
    files.Replace(d, "race 1\r\nrace 2\r\n");
    files.Append(d, "end\r\n");
    EXPECT_EQ(dir.Read("SOKUDO/d.txt"), "race 1\r\nrace 2\r\nend\r\n");
    for (const auto& entry : fs::directory_iterator(dir / "SOKUDO"))
        EXPECT_EQ(entry.path().filename(), "d.txt") << "scratch file left behind";
}

TEST(DayFiles, AFailedFirstWriteLeavesThePathNew) {
    testsupport::TempAppFolder dir;
    const fs::path a = dir / "TANFUKU/A.csv";  // the folder is not there yet
    common::DayFiles files;
    EXPECT_THROW(files.Append(a, "A1\r\n"), std::runtime_error);
    EXPECT_TRUE(files.IsNew(a));
    EXPECT_THROW(files.Replace(a, "A1\r\n"), std::runtime_error);
    EXPECT_TRUE(files.IsNew(a));

    // Last week's file turns up: the next race still starts it afresh instead of appending.
    dir.Write("TANFUKU/A.csv", "last week\r\n");
    files.Append(a, "A2\r\n");
    EXPECT_EQ(dir.Read("TANFUKU/A.csv"), "A2\r\n");
    files.Append(a, "A3\r\n");
    EXPECT_EQ(dir.Read("TANFUKU/A.csv"), "A2\r\nA3\r\n");
}

TEST(DayFiles, AnAppendThatCannotWriteThrows) {
    testsupport::TempAppFolder dir;
    const fs::path a = dir / "A.txt";
    common::DayFiles files;
    files.Append(a, "A1\r\n");
    // The met file is replaced by a folder: the append cannot open it.
    fs::remove(a);
    fs::create_directory(a);
    EXPECT_THROW(files.Append(a, "A2\r\n"), std::runtime_error);
    EXPECT_FALSE(files.IsNew(a));
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_bytes.h"
#include "records/fields.h"
#include "records/week_record_file.h"
#include "support/temp_folder.h"

namespace {

using namespace records;
using recordtest::Blanks;
using recordtest::Put;
using recordtest::RaceRecord;

std::string RaBytes(char kubun, std::string_view raceNum) {
    return RaceRecord(1272, "RA", kubun, "20250829", std::string("20250831050203") + std::string(raceNum));
}

StoredRA Stored(const std::string& bytes) {
    StoredRA r;
    r.Assign(bytes);
    return r;
}

TEST(WeekRecordFile, CountsWholeRecordsAndAppendsAfterThem) {
    testsupport::TempAppFolder folder;
    const std::string one = RaBytes('2', "01"), two = RaBytes('2', "02"), three = RaBytes('7', "03");
    folder.Write("RATHISWEEKN.dat", one + two);  // 2544 bytes
    const WeekFileRA file(folder / "RATHISWEEKN.dat");
    EXPECT_EQ(file.Count(), 2);
    EXPECT_EQ(file.Append(Stored(three)), 3);
    const std::string content = folder.Read("RATHISWEEKN.dat");
    ASSERT_EQ(content.size(), 3816u);
    EXPECT_EQ(content.substr(2544), three);  // bytes 2545 to 3816

    StoredRA read;
    ASSERT_TRUE(file.Read(2, read));
    EXPECT_EQ(read.Bytes(), two);
    EXPECT_FALSE(file.Read(4, read));
    EXPECT_FALSE(file.Read(0, read));
    EXPECT_EQ(read.Bytes(), two);  // a failed read leaves the record alone
}

TEST(WeekRecordFile, TornLastRecordIsNotARecord) {
    testsupport::TempAppFolder folder;
    const std::string one = RaBytes('2', "01"), two = RaBytes('2', "02");
    folder.Write("RATHISWEEKN.dat", one + two.substr(0, 700));
    const WeekFileRA file(folder / "RATHISWEEKN.dat");
    EXPECT_EQ(file.Count(), 1);
    StoredRA read;
    EXPECT_FALSE(file.Read(2, read));
    int seen = 0;
    // Read, the torn record is told as one passed over, not taken for a record.
    EXPECT_EQ(file.ForEach("test", [&](std::int64_t, RecordView<LayoutRA>) { ++seen; }), 1);
    EXPECT_EQ(seen, 1);
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("700 bytes after record 1 are not a whole record"), std::string::npos);
    // The next append takes the torn record's place.
    EXPECT_EQ(file.Append(Stored(two)), 2);
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), one + two);
}

TEST(WeekRecordFile, MissingFileHasNoRecordsAndIsNotCreatedByReading) {
    testsupport::TempAppFolder folder;
    const WeekFileRA file(folder / "RARIALTIME.dat");
    EXPECT_EQ(file.Count(), 0);
    StoredRA read;
    EXPECT_FALSE(file.Read(1, read));
    file.ForEach("test", [](std::int64_t, RecordView<LayoutRA>) { FAIL(); });
    EXPECT_FALSE(folder.Exists("RARIALTIME.dat"));
    EXPECT_EQ(file.Append(Stored(RaBytes('9', "05"))), 1);
    EXPECT_EQ(file.Count(), 1);
}

// A gap a later write left reads as blanks by number; a reading pass takes it for no record.
TEST(WeekRecordFile, GapRecordsReadAsBlanksAndArePassedOverByAPass) {
    testsupport::TempAppFolder folder;
    const WeekFileRA file(folder / "RACE.dat");
    file.Write(3, Stored(RaBytes('2', "03")));
    EXPECT_EQ(file.Count(), 3);
    StoredRA read;
    ASSERT_TRUE(file.Read(1, read));
    EXPECT_EQ(read.Bytes(), Blanks(1272));
    std::vector<std::int64_t> numbers;
    std::vector<std::string> dataKubun;
    EXPECT_EQ(file.ForEach("test",
                           [&](std::int64_t n, RecordView<LayoutRA> r) {
                               numbers.push_back(n);
                               dataKubun.emplace_back(r.Get(kDataKubun<LayoutRA>));
                           }),
              2);
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{3}));
    EXPECT_EQ(dataKubun, (std::vector<std::string>{"2"}));
}

TEST(WeekRecordFile, FilteredRewriteKeepsOrderAndLeavesNoScratch) {
    testsupport::TempAppFolder folder;
    std::vector<std::string> se;
    for (char kubun : {'2', '1', '7', '2', '9'}) {
        std::string r = RaceRecord(555, "SE", kubun, "20250829", "2025083105020311");
        Put(r, 29, std::string(1, '0') + std::string(1, static_cast<char>('0' + se.size() + 1)));
        se.push_back(r);
    }
    folder.Write("SETHISWEEKN.dat", se[0] + se[1] + se[2] + se[3] + se[4]);
    const WeekFileSE file(folder / "SETHISWEEKN.dat");
    const auto kept = file.RewriteFiltered(
        [](RecordView<LayoutSE> r) { return r.Get(kDataKubun<LayoutSE>) != "1"; });
    EXPECT_EQ(kept, 4);
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), se[0] + se[2] + se[3] + se[4]);
    EXPECT_FALSE(folder.Exists("TEMPORARY"));
}

TEST(WeekRecordFile, FullRewriteReplacesTheContent) {
    testsupport::TempAppFolder folder;
    folder.Write("RATHISWEEKNNEW.dat", RaBytes('2', "01") + RaBytes('2', "02") + RaBytes('2', "03"));
    const WeekFileRA file(folder / "RATHISWEEKNNEW.dat");
    file.RewriteAll({Stored(RaBytes('4', "11"))});
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), RaBytes('4', "11"));
    file.Remove();
    EXPECT_FALSE(folder.Exists("RATHISWEEKNNEW.dat"));
}

}  // namespace

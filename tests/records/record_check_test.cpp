#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "record_bytes.h"
#include "records/layouts.h"
#include "records/record_check.h"
#include "support/temp_folder.h"

namespace {

using namespace records;
using recordtest::RaceRecord;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Ra(std::string_view raceNum = "01") {
    return RaceRecord(1272, "RA", '2', "20250829", std::string("20250831050203") + std::string(raceNum));
}

// Bytes that are no record at all, the same every run.
std::string Junk(std::size_t size, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(random() & 0xFF);
    return out;
}

TEST(CheckRecord, TellsAWholeRecordFromEveryKindOfDamage) {
    const std::string ra = Ra();
    std::string lf = ra;  // LF alone at its end: one byte short
    lf.erase(1270, 1);
    std::string noLineEnd = ra;
    noLineEnd.replace(1270, 2, "  ");
    std::string wrongKind = ra;
    wrongKind.replace(0, 2, "SE");
    const std::string storedKs = RaceRecord(4161, "KS", '1', "20250829", "");
    struct Case {
        const char* name;
        std::string bytes;
        std::string_view kind;
        std::size_t length;
        RecordFault expected;
    };
    const std::vector<Case> cases = {
        {"a whole race record", ra, "RA", 1272, RecordFault::None},
        {"a whole jockey record in its stored form", storedKs, "KS", 4161, RecordFault::None},
        {"cut short with its line end", ra.substr(0, 598) + "\r\n", "RA", 1272, RecordFault::CutShort},
        {"cut short before its line end", ra.substr(0, 600), "RA", 1272, RecordFault::CutShort},
        {"LF instead of CR LF, as delivered", lf, "RA", 1272, RecordFault::CutShort},
        {"LF instead of CR LF, in a file: the next record's first byte fills it", lf + "R", "RA", 1272,
         RecordFault::NoLineEnd},
        {"run into the next record", ra.substr(0, 600) + Ra("02"), "RA", 1272, RecordFault::TooLong},
        {"no line end at its length", noLineEnd, "RA", 1272, RecordFault::NoLineEnd},
        {"another kind with a line end", wrongKind, "RA", 1272, RecordFault::WrongKind},
        {"a runner length asked of a race", ra, "SE", 555, RecordFault::TooLong},
        {"junk", Junk(1272), "RA", 1272, RecordFault::NoLineEnd},
        {"zero bytes, a gap a later write left", std::string(1272, '\0'), "RA", 1272, RecordFault::Empty},
        {"nothing", "", "RA", 1272, RecordFault::CutShort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckRecord(c.bytes, c.kind, c.length), c.expected);
    }
    // The layout form: its tag and its (stored) length.
    EXPECT_EQ(CheckRecord<LayoutRA>(ra), RecordFault::None);
    EXPECT_EQ(CheckRecord<LayoutKSStored>(storedKs), RecordFault::None);
    EXPECT_EQ(CheckRecord<LayoutKS>(storedKs), RecordFault::CutShort);  // delivered KS is 4173 bytes
    EXPECT_EQ(CheckRecord<LayoutSE>(ra), RecordFault::TooLong);
    // Only a missing line end moves the records after it.
    EXPECT_TRUE(ShiftsTheRest(RecordFault::NoLineEnd));
    for (RecordFault f : {RecordFault::None, RecordFault::CutShort, RecordFault::TooLong, RecordFault::WrongKind,
                          RecordFault::Empty})
        EXPECT_FALSE(ShiftsTheRest(f));
}

TEST(CheckRecord, ReasonsSayWhatWasWrongWithTheLengths) {
    const std::string ra = Ra();
    EXPECT_EQ(FaultReason(RecordFault::CutShort, "HR", 719, ra.substr(0, 300)), "cut short: 300 of the 719 bytes of HR");
    EXPECT_EQ(FaultReason(RecordFault::TooLong, "RA", 1272, ra + "XY"), "too long: 1274 bytes instead of the 1272 bytes of RA");
    EXPECT_EQ(FaultReason(RecordFault::NoLineEnd, "SE", 555, ra.substr(0, 555)), "no CR LF at its end (byte 554)");
    EXPECT_EQ(FaultReason(RecordFault::WrongKind, "SE", 555, ra.substr(0, 555)), "kind \"RA\" instead of SE");
    EXPECT_EQ(FaultReason(RecordFault::Empty, "SE", 555, std::string(555, '\0')), "empty (zero bytes)");
}

TEST(CheckRecord, DeliveredLengthsOfTheKindsWithALayout) {
    const std::vector<std::pair<std::string_view, std::size_t>> kinds = {
        {"RA", 1272}, {"SE", 555}, {"HR", 719}, {"UM", 1609}, {"KS", 4173}, {"O1", 962},
        {"O2", 2042}, {"O4", 4031}, {"O5", 12293}, {"O6", 83285}, {"O3", 0}, {"TK", 0}, {"R", 0}, {"", 0}};
    for (const auto& [kind, length] : kinds) EXPECT_EQ(DeliveredLength(kind), length) << kind;
}

// A file's records one by one: a damaged record is passed over and logged with the file, its
// number and the reason; a record without its line end stops the file, the rest unread.
TEST(RecordFileCheck, PassesOverDamagedRecordsAndStopsAtAShiftedOne) {
    testsupport::TempAppFolder folder;
    std::string wrongKind = Ra("03");
    wrongKind.replace(0, 2, "SE");
    const std::vector<std::string> records = {Ra("01"), wrongKind, std::string(1272, '\0'), Ra("04"),
                                              Junk(1272), Ra("06"), Ra("07")};
    std::vector<std::int64_t> whole;
    std::int64_t passedOver = 0;
    {
        RecordFileCheck check("Reader", folder / "RATHISWEEKN.dat", "RA", 1272, 7 * 1272);
        for (std::size_t i = 0; i < records.size(); ++i)
            if (check.Sound(static_cast<std::int64_t>(i) + 1, records[i])) whole.push_back(static_cast<std::int64_t>(i) + 1);
        EXPECT_TRUE(check.Stopped());
        passedOver = check.PassedOver();
    }
    // Records 6 and 7 are whole bytes, but they stand after the shift: not looked at.
    EXPECT_EQ(whole, (std::vector<std::int64_t>{1, 4}));
    EXPECT_EQ(passedOver, 5);
    const std::string path = (folder / "RATHISWEEKN.dat").string();
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("[Reader] " + path + " record 2: kind \"SE\" instead of RA: passed over"));
    EXPECT_THAT(log, HasSubstr("[Reader] " + path + " record 3: empty (zero bytes): passed over"));
    EXPECT_THAT(log, HasSubstr("[Reader] " + path +
                               " record 5: no CR LF at its end (byte 1271); the records after it are shifted: the rest "
                               "of the file (2 records) was not read"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

TEST(RecordFileCheck, LogsTwentyRecordsOfAFileAndCountsTheRest) {
    testsupport::TempAppFolder folder;
    std::string wrongKind = Ra();
    wrongKind.replace(0, 2, "HR");
    std::string bytes;
    for (int i = 0; i < 25; ++i) bytes += wrongKind;
    bytes += Ra("26");
    std::vector<std::int64_t> read;
    const std::int64_t passedOver = ForEachSoundRecord<LayoutRA>(
        "Reader", folder / "RATHISWEEKNNEW.dat", bytes, [&](std::int64_t n, std::string_view) { read.push_back(n); });
    EXPECT_EQ(read, (std::vector<std::int64_t>{26}));
    EXPECT_EQ(passedOver, 25);
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 21);
    EXPECT_THAT(log, HasSubstr("record 20: kind \"HR\" instead of RA"));
    EXPECT_THAT(log, Not(HasSubstr("record 21:")));
    EXPECT_THAT(log, HasSubstr("RATHISWEEKNNEW.dat: 5 more damaged records passed over"));
}

// Bytes after the last whole record (a file cut inside its last record, or bytes added at its
// end) are no record: the whole records before them are read, the tail is told once, and it
// counts among the records passed over; a tail after a shift is part of the rest already told.
TEST(RecordFileCheck, TellsATornTail) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::int64_t> read;
        std::int64_t passedOver;
        const char* logged;  // nullptr: no tail line
    };
    const std::vector<Case> cases = {
        {"cut inside its last record", Ra("01") + Ra("02") + Ra("03").substr(0, 600), {1, 2}, 1,
         "600 bytes after record 2 are not a whole record"},
        {"bytes added", Ra("01") + Ra("02") + "xx\r\n", {1, 2}, 1, "4 bytes after record 2 are not a whole record"},
        {"one byte inserted", Ra("01") + "x" + Ra("02"), {1}, 1, nullptr},
        {"whole", Ra("01") + Ra("02"), {1, 2}, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        std::vector<std::int64_t> read;
        const std::int64_t passedOver = ForEachSoundRecord<LayoutRA>(
            "Reader", folder / "RATHISWEEKN.dat", c.bytes, [&](std::int64_t n, std::string_view) { read.push_back(n); });
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(passedOver, c.passedOver);
        const std::string log = folder.Read("ERRORLOG.txt");
        if (c.logged) EXPECT_THAT(log, HasSubstr(c.logged));
        else EXPECT_THAT(log, Not(HasSubstr("not a whole record")));
    }
}

// Kept for the caller, the count of the others comes with Finish, into the list the caller
// holds then: never later, from the destructor, into a list that may have moved away.
TEST(RecordFileCheck, KeptEntriesGetTheCountAtFinish) {
    testsupport::TempAppFolder folder;
    std::string wrongKind = Ra();
    wrongKind.replace(0, 2, "HR");
    std::vector<std::string> entries;
    {
        records::RecordFileCheck check("Reader", folder / "RATHISWEEKNNEW.dat", "RA", wrongKind.size(),
                                     25 * wrongKind.size(), &entries);
        for (std::int64_t n = 1; n <= 25; ++n) EXPECT_FALSE(check.Sound(n, wrongKind));
        EXPECT_EQ(entries.size(), 20u);
        check.Finish();
        ASSERT_EQ(entries.size(), 21u);
        EXPECT_THAT(entries.back(), HasSubstr("RATHISWEEKNNEW.dat: 5 more damaged records passed over"));
        check.Finish();
        entries.clear();
    }
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

}  // namespace

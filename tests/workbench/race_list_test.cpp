#include "workbench/race_list.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "common/paths.h"
#include "records/keys.h"
#include "support/temp_folder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using batchtest::Race;
using batchtest::RaRecord;

records::StoredRA Stored(const std::string& bytes) {
    records::StoredRA r;
    r.Assign(bytes);
    return r;
}

records::StoredHR StoredHr(const std::string& bytes) {
    records::StoredHR r;
    r.Assign(bytes);
    return r;
}

records::StoredRA RaceOfKind(char kind, std::string raceId = "2025060705030101") {
    return Stored(RaRecord(batchtest::RaceOf(std::move(raceId), kind)));
}

common::CodeTable Codes() { return common::CodeTable::FromCp932(batchtest::TestData("workbench/CodeTable.csv")); }

std::vector<std::string> Keys(const workbench::RaceList& list) {
    std::vector<std::string> keys;
    for (const auto& race : list.Races) keys.push_back(race.RaceKey12);
    return keys;
}

// Only the last record that is not a cancelled race decides.
TEST(RaceList, ResultModeFromTheLastRaceRecordThatIsNotCancelled) {
    struct Case {
        std::string kinds;
        int mode;
    };
    const std::vector<Case> cases = {
        {"7", 1},   {"2227", 1}, {"76", 0},  {"2767", 1}, {"79", 1}, {"7999", 1},
        {"29", 0},  {"9", 0},    {"", 0},    {"77772", 0}, {"1", 0},
    };
    for (const Case& c : cases) {
        std::vector<records::StoredRA> file;
        for (char kind : c.kinds) file.push_back(RaceOfKind(kind));
        EXPECT_EQ(workbench::DecideResultMode(file), c.mode) << c.kinds;
    }
}

TEST(RaceList, ListLineInBothForms) {
    const std::string id = "2025083105020811";
    EXPECT_EQ(workbench::RaceListLine(id, "東京", 0), "2025年08月31日05東京02回08日11R         202508310511");
    EXPECT_EQ(workbench::RaceListLine(id, "東京", 1), "2025年08月31日05東京02回08日11R          202508310511");
    EXPECT_EQ(workbench::RaceListLine(id, "", 0), "2025年08月31日0502回08日11R         202508310511");
}

TEST(RaceList, PredictionModeListsKindsTwoToSix) {
    testsupport::TempAppFolder folder;
    const std::string kinds = "1234567 09";
    std::vector<records::StoredRA> file;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        file.push_back(RaceOfKind(kinds[i], "20250607050301" + batchtest::Digits(static_cast<long>(i) + 1, 2)));
    workbench::BatchLog log;
    const auto list = workbench::ListRaces(0, file, {}, Codes(), log);
    EXPECT_THAT(Keys(list), ElementsAre("202506070502", "202506070503", "202506070504", "202506070505", "202506070506"));
    EXPECT_THAT(list.TitleOrder, ElementsAre(1, 2, 3, 4, 5));
    EXPECT_TRUE(list.NothingListed.empty());
}

// The file keeps one record per race and kind: kinds "2" and "4" of one race make one race, at
// the place of the first with the fields of the last.
TEST(RaceList, ARaceUnderTwoKindsIsListedOnce) {
    Race a = batchtest::RaceOf("2025060705030101");
    a.hasso = "1000";
    Race b = batchtest::RaceOf("2025060705030102");
    Race aLater = a;
    aLater.kind = '4';
    aLater.hasso = "1010";
    aLater.raceId = "2025060705030201";  // a later day of the meeting (Nichiji changed)
    const std::vector<records::StoredRA> file = {Stored(RaRecord(a)), Stored(RaRecord(b)), Stored(RaRecord(aLater))};
    workbench::BatchLog log;
    const auto list = workbench::ListRaces(0, file, {}, Codes(), log);
    ASSERT_THAT(Keys(list), ElementsAre("202506070501", "202506070502"));
    EXPECT_EQ(list.Races[0].RaceId, "2025060705030201");
    EXPECT_EQ(list.Races[0].Title[workbench::info::kHassoTime], "1010");
    EXPECT_EQ(list.Races[0].RaRecordNo, 3);
    EXPECT_THAT(list.Races[0].ListLine, HasSubstr("03回02日01R"));
    EXPECT_EQ(workbench::RaceIdListContent(list), "2025060705030201\r\n2025060705030102\r\n");
}

TEST(RaceList, AKeyThatCannotNameFilesIsPassedOver) {
    testsupport::TempAppFolder folder;
    const std::vector<records::StoredRA> file = {RaceOfKind('2', "2025/60705030101"), RaceOfKind('2', "202506070503010A"),
                                                 RaceOfKind('2', "2025060705030102")};
    workbench::BatchLog log;
    const auto list = workbench::ListRaces(0, file, {}, Codes(), log);
    EXPECT_THAT(Keys(list), ElementsAre("202506070502"));
    EXPECT_EQ(log.RacesPassedOver(), 2);
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("race 2025/6070501, race list"));
}

// Payouts decide the list; a payout record delivered twice lists the race once, at the place of
// its first record, with its newest payout record (the later one of two on the same date).
TEST(RaceList, ResultModeTakesEachRaceOnceWithItsNewestPayout) {
    const std::vector<records::StoredRA> races = {RaceOfKind('7', "2025060705030101"), RaceOfKind('7', "2025060705030102")};
    const std::vector<records::StoredHR> payouts = {
        StoredHr(batchtest::HrRecord("2025060705030102", "20250609", "000000100")),
        StoredHr(batchtest::HrRecord("2025060705030101", "20250609", "000000200")),
        StoredHr(batchtest::HrRecord("2025060705030102", "20250610", "000000300")),
        StoredHr(batchtest::HrRecord("2025060705030102", "20250608", "000000400")),
        StoredHr(batchtest::HrRecord("2025060705030101", "20250609", "000000500")),
    };
    workbench::BatchLog log;
    const auto list = workbench::ListRaces(1, races, payouts, Codes(), log);
    ASSERT_THAT(Keys(list), ElementsAre("202506070502", "202506070501"));
    ASSERT_TRUE(list.Races[0].Hr && list.Races[1].Hr);
    EXPECT_EQ(batchtest::At(list.Races[0].Hr->Bytes(), 105, 9), "000000300");
    EXPECT_EQ(batchtest::At(list.Races[1].Hr->Bytes(), 105, 9), "000000500");
    EXPECT_THAT(list.TitleOrder, ElementsAre(2, 1)) << "title lines in the race file's order";
    EXPECT_EQ(workbench::RaceWeekListContent(list), "\"202506070502\"\r\n\"202506070501\"\r\n");
}

// Prediction mode too keeps each race's own newest payout record, or none.
TEST(RaceList, PredictionRacesCarryTheirOwnPayoutOrNone) {
    const std::vector<records::StoredRA> races = {RaceOfKind('2', "2025060705030101"), RaceOfKind('2', "2025060705030102")};
    const std::vector<records::StoredHR> payouts = {StoredHr(batchtest::HrRecord("2025060705030102", "20250609", "000000100"))};
    workbench::BatchLog log;
    const auto list = workbench::ListRaces(0, races, payouts, Codes(), log);
    ASSERT_EQ(list.Races.size(), 2u);
    EXPECT_FALSE(list.Races[0].Hr.has_value());
    ASSERT_TRUE(list.Races[1].Hr.has_value());
    EXPECT_EQ(records::RaceKey12Of(*list.Races[1].Hr), "202506070502");
}

TEST(RaceList, TitlePartsThroughTheCodeTable) {
    struct Case {
        std::string what;
        std::string hondai, track, baba, raceNum;
        std::string name;     // column 4
        std::string trackName;  // column 8
        std::string weather;  // column 11
        std::string number;   // column 1
    };
    std::string fullBlanks, thirteen(batchtest::kThirteenLetters);
    for (int i = 0; i < 12; ++i) fullBlanks += batchtest::kFullWidthBlank;
    const std::string ha = "\x90\xb0";   // 晴
    const std::string ryo = "\x97\xc7";  // 良
    const std::string ju = "\x8f\x64";   // 重
    const std::string blank12(12, ' ');  // a name of half-width blanks is no name of full-width ones
    const std::vector<Case> cases = {
        {"twelve full-width blanks", fullBlanks + "ABC", "11", "113", "01", "", "\x8e\xc5", ha + ryo, "1"},
        {"thirteen letters cut at twelve", thirteen, "11", "113", "11", thirteen.substr(0, 24), "\x8e\xc5", ha + ryo, "11"},
        {"half-width and kanji", std::string("AB") + std::string(batchtest::kDerby), "11", "113", "12",
         std::string("AB") + std::string(batchtest::kDerby) + "    ", "\x8e\xc5", ha + ryo, "12"},
        {"dirt 24 takes the dirt going", "", "24", "113", "01", blank12, "\x83\x5f", ha + ju, "1"},
        {"hurdle 51 takes the turf going", "", "51", "113", "01", blank12, "\x8f\xe1", ha + ryo, "1"},
        {"30 is no dirt track in a title", "", "30", "113", "01", blank12, "", ha + ryo, "1"},
    };
    const common::CodeTable codes = Codes();
    for (const Case& c : cases) {
        Race race = batchtest::RaceOf("20250607050301" + c.raceNum);
        race.hondai = c.hondai;
        race.track = c.track;
        race.baba = c.baba;
        const workbench::RaceInfoRow row = workbench::RaceTitle(Stored(RaRecord(race)).View(), codes);
        EXPECT_EQ(row[workbench::info::kRaceName], c.name) << c.what;
        EXPECT_EQ(row[workbench::info::kTrack], c.trackName) << c.what;
        EXPECT_EQ(row[workbench::info::kWeatherGoing], c.weather) << c.what;
        EXPECT_EQ(row[workbench::info::kRaceNumber], c.number) << c.what;
        EXPECT_EQ(row[workbench::info::kRaceKey], "2025060705" + c.raceNum) << c.what;
        EXPECT_EQ(row[workbench::info::kSpread], "SD") << c.what;
        EXPECT_EQ(row[12], "") << c.what;
    }
}

// A week of three race days has more than 96 races: every one is listed and titled.
TEST(RaceList, AWeekOfNinetySevenRaces) {
    std::vector<records::StoredRA> file;
    for (int day = 0; day < 3; ++day)
        for (int course = 1; course <= 3; ++course)
            for (int race = 1; race <= 12; ++race) {
                if (file.size() == 97) break;
                Race r = batchtest::RaceOf("202506" + batchtest::Digits(7 + day, 2) + batchtest::Digits(course, 2) +
                                           "0301" + batchtest::Digits(race, 2));
                r.hasso = batchtest::Digits(900 + static_cast<long>(file.size()), 4);
                file.push_back(Stored(RaRecord(r)));
            }
    workbench::BatchLog log;
    const auto list = workbench::ListRaces(0, file, {}, Codes(), log);
    ASSERT_EQ(list.Races.size(), 97u);
    EXPECT_EQ(list.Races[96].RaceKey12, "202506090301");
    EXPECT_EQ(list.Races[96].Title[workbench::info::kHassoTime], "0996");
    workbench::RaceInfoTable table(97);
    table.SetRow(97, list.Races[96].Title);
    EXPECT_EQ(table.Cell(97, 2), "0996");
    EXPECT_EQ(table.Cell(98, 2), "");
    EXPECT_THROW(table.Set(98, 10, "x"), std::out_of_range);
}

}  // namespace

namespace {

// Everything the batch takes from a list, as text, to compare two lists.
std::vector<std::string> ListFacts(const workbench::RaceList& list) {
    std::vector<std::string> facts = {std::to_string(list.ResultMode), list.NothingListed};
    for (const auto& race : list.Races) {
        facts.push_back(race.RaceKey12 + "|" + race.RaceId + "|" + std::to_string(race.RaRecordNo) + "|" +
                        (race.Ra ? std::string(race.Ra->Bytes()) : "-") + "|" + (race.Hr ? std::string(race.Hr->Bytes()) : "-") +
                        "|" + race.ListLine);
        for (const std::string& cell : race.Title) facts.push_back(cell);
    }
    for (int r : list.TitleOrder) facts.push_back(std::to_string(r));
    return facts;
}

}  // namespace

// The batch keeps of the race file only the records the list can use; the mode and the list,
// record places included, come out as from the whole file.
TEST(RaceList, TheRecordsKeptListAsTheWholeFileDoes) {
    const auto race = [](std::string id, char kind, std::string made = "20250605") {
        Race r = batchtest::RaceOf(std::move(id), kind);
        r.made = std::move(made);
        return RaRecord(r);
    };
    const auto payout = [](std::string id) { return StoredHr(batchtest::HrRecord(id, "20250609", "000000100")); };
    // Past weeks' races of every kind, this week's races under several kinds and dates, a key
    // that cannot name files, and cancelled races last.
    const std::vector<std::string> pastAndNow = {
        race("2025053105020101", '7'), race("2025060705030101", '1'), race("2025060105020102", '7'),
        race("2025060705030101", '2'), race("2025060705030102", '4'), race("2025/60705030103", '5'),
        race("2025060705030101", '7', "20250607"), race("2025060705030102", '7', "20250606"),
        race("2025060105020103", '2'), race("2025060705030102", '7', "20250608"), race("2025060705030104", '9')};
    struct Case {
        std::string what;
        std::vector<std::string> raceFile;
        std::vector<records::StoredHR> payouts;
    };
    const std::vector<Case> cases = {
        {"a results week", pastAndNow,
         {payout("2025060705030102"), payout("2025060705030101"), payout("2025/60705030103"), payout("2025060705030109")}},
        {"a prediction week", {pastAndNow.begin(), pastAndNow.begin() + 6}, {payout("2025060705030102")}},
        {"past races only", {race("2025053105020101", '7'), race("2025060105020102", '7')}, {}},
        {"cancelled races only", {race("2025060705030101", '9')}, {}},
        {"an empty race file", {}, {payout("2025060705030101")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<records::StoredRA> whole;
        for (const std::string& bytes : c.raceFile) whole.push_back(Stored(bytes));
        const workbench::RaceFileRecords all(whole);
        workbench::RaceFileRecords kept;
        const auto payoutRaces = workbench::PayoutRaces(c.payouts);
        for (std::size_t n = 0; n < whole.size(); ++n)
            kept.Take(static_cast<std::int64_t>(n) + 1, whole[n].View(), workbench::ListCanUse(whole[n].View(), payoutRaces));

        const std::int16_t mode = workbench::DecideResultMode(all);
        EXPECT_EQ(workbench::DecideResultMode(kept), mode);
        testsupport::TempAppFolder folder;
        workbench::BatchLog logAll, logKept;
        const auto fromAll = workbench::ListRaces(mode, all, c.payouts, Codes(), logAll);
        const auto fromKept = workbench::ListRaces(mode, kept, c.payouts, Codes(), logKept);
        EXPECT_EQ(ListFacts(fromKept), ListFacts(fromAll));
        EXPECT_EQ(logKept.RacesPassedOver(), logAll.RacesPassedOver());
        EXPECT_LE(kept.Records.size(), all.Records.size());
    }
}

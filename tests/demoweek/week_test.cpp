// A small week generated into a temporary folder, read back through the record layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "generator.h"
#include "records/fields.h"
#include "records/record.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace records;

// Record length of each kind as delivered, from the layout tables.
int LengthOf(std::string_view spec) {
    static const std::map<std::string, int, std::less<>> lengths = {
        {"RA", kLength<LayoutRA>}, {"SE", kLength<LayoutSE>}, {"HR", kLength<LayoutHR>}, {"UM", kLength<LayoutUM>},
        {"KS", kLength<LayoutKS>}, {"O1", kLength<LayoutO1>}, {"O2", kLength<LayoutO2>}, {"O4", kLength<LayoutO4>},
        {"O5", kLength<LayoutO5>}, {"O6", kLength<LayoutO6>}};
    auto it = lengths.find(spec);
    return it == lengths.end() ? -1 : it->second;
}

struct Delivered {
    std::string file;
    std::string bytes;
};

// Every record of every file under a folder, cut at its kind's length.
std::map<std::string, std::vector<Delivered>> ReadRecords(const fs::path& folder, std::vector<std::string>& faults) {
    std::map<std::string, std::vector<Delivered>> byKind;
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
        const std::string content = common::ReadFileBytes(f);
        std::size_t pos = 0;
        while (pos < content.size()) {
            const std::string spec = content.substr(pos, 2);
            const int length = LengthOf(spec);
            if (length < 0 || pos + static_cast<std::size_t>(length) > content.size()) {
                faults.push_back(f.string() + ": no whole record of kind '" + spec + "'");
                break;
            }
            std::string record = content.substr(pos, static_cast<std::size_t>(length));
            if (record.substr(record.size() - 2) != "\r\n" || record.find("\r\n") != record.size() - 2)
                faults.push_back(f.string() + ": record of kind " + spec + " not ending in its one CR LF");
            byKind[spec].push_back({f.string(), std::move(record)});
            pos += static_cast<std::size_t>(length);
        }
    }
    return byKind;
}

std::set<std::string> Keys(const std::string& content, std::size_t length, std::size_t width) {
    std::set<std::string> keys;
    for (std::size_t at = 0; at + length <= content.size(); at += length) keys.insert(content.substr(at, width));
    return keys;
}

struct Week {
    std::unique_ptr<testsupport::TempAppFolder> folder;
    std::map<std::string, std::vector<Delivered>> stored, realtime;
    std::vector<std::string> faults;
};

Week Generate(demoweek::WeekState state, std::uint64_t seed) {
    Week w;
    w.folder = std::make_unique<testsupport::TempAppFolder>();
    demoweek::Options options;
    options.folder = w.folder->Path();
    options.state = state;
    options.seed = seed;
    options.scale = demoweek::SmallScale();
    demoweek::GenerateWeek(options);
    w.stored = ReadRecords(w.folder->Path() / "jvdata" / "stored", w.faults);
    w.realtime = ReadRecords(w.folder->Path() / "jvdata" / "realtime", w.faults);
    return w;
}

class SmallWeek : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        after_ = new Week(Generate(demoweek::WeekState::After, 7));
        before_ = new Week(Generate(demoweek::WeekState::Before, 7));
    }
    static void TearDownTestSuite() {
        delete after_;
        delete before_;
    }
    static Week* after_;
    static Week* before_;
};
Week* SmallWeek::after_ = nullptr;
Week* SmallWeek::before_ = nullptr;

// This week's races are those dated from the Saturday on.
bool ThisWeek(std::string_view raceId) { return raceId.substr(0, 8) >= "20250607"; }

TEST_F(SmallWeek, EveryRecordHasItsKindsLengthAndEndsInCrLf) {
    for (Week* w : {after_, before_}) {
        EXPECT_TRUE(w->faults.empty()) << w->faults.front();
        for (const char* kind : {"RA", "SE", "UM", "KS", "O1", "O2", "O4", "O5", "O6"})
            EXPECT_FALSE(w->stored[kind].empty()) << kind;
        EXPECT_FALSE(fs::exists(w->folder->Path() / "jvdata" / "stored" / "RACE" / "x.damaged"));
        for (const auto& e : fs::recursive_directory_iterator(w->folder->Path() / "jvdata"))
            EXPECT_NE(e.path().extension(), ".damaged") << e.path();
    }
    EXPECT_FALSE(after_->stored["HR"].empty());
    EXPECT_TRUE(before_->stored["HR"].empty());
}

// One race's payout record comes twice, an earlier version right before the final one: a day
// older and with another win payout; every other race's once.
TEST_F(SmallWeek, OnePayoutRecordIsDeliveredTwice) {
    const auto& hr = after_->stored["HR"];
    std::map<std::string, int> times;
    for (const Delivered& d : hr) ++times[std::string(RecordView<LayoutHR>(d.bytes).Get(kRaceId<LayoutHR>))];
    int doubled = 0;
    for (std::size_t i = 0; i + 1 < hr.size(); ++i) {
        const RecordView<LayoutHR> earlier(hr[i].bytes), final(hr[i + 1].bytes);
        if (earlier.Get(kRaceId<LayoutHR>) != final.Get(kRaceId<LayoutHR>)) continue;
        ++doubled;
        EXPECT_EQ(hr[i].file, hr[i + 1].file);
        EXPECT_EQ(common::Val(final.Get(kMakeDate<LayoutHR>)) - common::Val(earlier.Get(kMakeDate<LayoutHR>)), 1);
        EXPECT_NE(earlier.Get(hr::PayTansyoPay, 0), final.Get(hr::PayTansyoPay, 0));
        EXPECT_EQ(earlier.Get(hr::PayUmarenKumi, 0), final.Get(hr::PayUmarenKumi, 0));
    }
    EXPECT_EQ(doubled, 1);
    EXPECT_EQ(times.size() + 1, hr.size());
}

TEST_F(SmallWeek, RecordsAreInTheFoldersOfTheirDataSpecs) {
    auto folderOf = [](const Delivered& d) { return fs::path(d.file).parent_path().filename().string(); };
    for (const char* kind : {"RA", "SE", "HR"})
        for (const Delivered& d : after_->stored[kind]) EXPECT_EQ(folderOf(d), "RACE") << kind;
    for (const Delivered& d : after_->stored["O6"]) EXPECT_EQ(folderOf(d), "RCOV");
    for (const char* kind : {"O2", "O4", "O5"})
        for (const Delivered& d : after_->stored[kind]) EXPECT_EQ(folderOf(d), "TCOV") << kind;
    // Breaking news: a date file holds race, runner and payout records; a race file its odds.
    for (const Delivered& d : after_->realtime["RA"]) {
        EXPECT_EQ(folderOf(d), "0B12");
        EXPECT_EQ(fs::path(d.file).filename().string(), RecordView<LayoutRA>(d.bytes).Get(kRaceId<LayoutRA>).substr(0, 8));
    }
    for (const Delivered& d : after_->realtime["O6"]) {
        EXPECT_EQ(folderOf(d), "0B30");
        EXPECT_EQ(fs::path(d.file).filename().string(), RecordView<LayoutO6>(d.bytes).Get(kRaceId<LayoutO6>));
    }
}

TEST_F(SmallWeek, EveryRunsRaceHorseJockeyAndTrainerIsThere) {
    Week& w = *after_;
    std::set<std::string> races, horses, jockeys;
    for (const Delivered& d : w.stored["RA"]) races.insert(std::string(RecordView<LayoutRA>(d.bytes).Get(kRaceId<LayoutRA>)));
    for (const Delivered& d : w.stored["UM"]) horses.insert(std::string(RecordView<LayoutUM>(d.bytes).Get(um::KettoNum)));
    for (const Delivered& d : w.stored["KS"]) jockeys.insert(std::string(RecordView<LayoutKS>(d.bytes).Get(ks::KisyuCode)));
    const fs::path opt = w.folder->Path() / "OPTION1N";
    const auto kishu = Keys(common::ReadFileBytes(opt / "KISHUSEISEI.dat"), 121, 5);
    const auto chokyo = Keys(common::ReadFileBytes(opt / "CHOKYOSEISEI.dat"), 121, 5);
    const auto kyosoba = Keys(common::ReadFileBytes(opt / "KYOSOBA.dat"), 228, 10);
    const auto supplied = Keys(common::ReadFileBytes(opt / "KS20190101NEW.dat"), kLength<LayoutKSStored>, 16);
    std::set<std::string> suppliedCodes;
    for (const std::string& k : supplied) suppliedCodes.insert(k.substr(11, 5));
    std::map<std::string, int> runsPerHorse;
    for (const Delivered& d : w.stored["SE"]) {
        const RecordView<LayoutSE> se(d.bytes);
        const std::string ketto(se.Get(se::KettoNum));
        EXPECT_TRUE(races.contains(std::string(se.Get(kRaceId<LayoutSE>)))) << se.Get(kRaceId<LayoutSE>);
        EXPECT_TRUE(horses.contains(ketto)) << ketto;
        EXPECT_TRUE(kyosoba.contains(ketto)) << ketto;
        EXPECT_EQ(ketto.size(), 10u);
        EXPECT_TRUE(common::IsDigits(ketto)) << ketto;
        const std::string jockey(se.Get(se::KisyuCode));
        EXPECT_TRUE(jockeys.contains(jockey) && kishu.contains(jockey) && suppliedCodes.contains(jockey)) << jockey;
        EXPECT_TRUE(chokyo.contains(std::string(se.Get(se::ChokyosiCode))));
        ++runsPerHorse[ketto];
    }
    EXPECT_EQ(runsPerHorse.size(), horses.size());
    int withHistory = 0;
    for (const auto& [ketto, runs] : runsPerHorse) {
        EXPECT_LE(runs, 8 + 1) << ketto;  // the small week keeps at most eight past runs
        if (runs > 1) ++withHistory;
    }
    EXPECT_GT(withHistory, static_cast<int>(horses.size()) / 2);
}

TEST_F(SmallWeek, SiresAndDamsAreInTheStatisticsAndDamsListTheirFoals) {
    const fs::path opt = after_->folder->Path() / "OPTION1N";
    const auto stallion = Keys(common::ReadFileBytes(opt / "STALLION.dat"), 402, 10);
    const auto mare = Keys(common::ReadFileBytes(opt / "MARE.dat"), 402, 10);
    const auto hahauma = Keys(common::ReadFileBytes(opt / "HAHAUMA.dat"), 402, 10);
    const auto foals = Keys(common::ReadFileBytes(opt / "HNSKOPTION1N.dat"), 22, 20);
    ASSERT_FALSE(stallion.empty());
    for (const Delivered& d : after_->stored["UM"]) {
        const RecordView<LayoutUM> um(d.bytes);
        const std::string sire(um.Get(um::Ketto3InfoHansyokuNum, 0));
        const std::string dam(um.Get(um::Ketto3InfoHansyokuNum, 1));
        EXPECT_TRUE(stallion.contains(sire)) << sire;
        EXPECT_TRUE(mare.contains(dam) && hahauma.contains(dam)) << dam;
        EXPECT_TRUE(foals.contains(dam + std::string(um.Get(um::KettoNum))));
        // The dam's sire stands at stud too.
        EXPECT_TRUE(stallion.contains(std::string(um.Get(um::Ketto3InfoHansyokuNum, 4))));
    }
}

// Each horse's statistics record, read at its byte offsets (KettoNum 1-10, place rate 11-16,
// starts on the flat 23-28 and over hurdles 29-34, prize money 35-43 and 44-52), against its runs
// before this week as delivered: runs the horse started in, by the race's track.
TEST_F(SmallWeek, HorseStatisticsSumUpTheDeliveredPastRuns) {
    std::map<std::string, std::string> track;
    for (const Delivered& d : after_->stored["RA"]) {
        const RecordView<LayoutRA> ra(d.bytes);
        track[std::string(ra.Get(kRaceId<LayoutRA>))] = ra.Get(ra::TrackCD);
    }
    struct Tally {
        long long flat = 0, hurdle = 0, flatPrize = 0, hurdlePrize = 0, placed = 0;
    };
    std::map<std::string, Tally> runs;
    for (const Delivered& d : after_->stored["SE"]) {
        const RecordView<LayoutSE> se(d.bytes);
        if (ThisWeek(se.Get(kRaceId<LayoutSE>)) || se.Get(se::IJyoCD) == "1") continue;
        Tally& t = runs[std::string(se.Get(se::KettoNum))];
        const bool hurdle = track[std::string(se.Get(kRaceId<LayoutSE>))] >= "51";
        ++(hurdle ? t.hurdle : t.flat);
        (hurdle ? t.hurdlePrize : t.flatPrize) += std::atoll(std::string(se.Get(Locate<LayoutSE>("Honsyokin"))).c_str());
        const int place = std::atoi(std::string(se.Get(se::KakuteiJyuni)).c_str());
        if (place >= 1 && place <= 3) ++t.placed;
    }
    const std::string file = common::ReadFileBytes(after_->folder->Path() / "OPTION1N" / "KYOSOBA.dat");
    ASSERT_EQ(file.size() % 228, 0u);
    ASSERT_GT(file.size(), 0u);
    auto number = [](const std::string& r, std::size_t position, std::size_t width) {
        return std::atoll(r.substr(position - 1, width).c_str());
    };
    int withRuns = 0;
    for (std::size_t at = 0; at < file.size(); at += 228) {
        const std::string r = file.substr(at, 228);
        EXPECT_EQ(r.substr(226), "\r\n");
        const Tally t = runs[r.substr(0, 10)];  // a debutant has none
        EXPECT_EQ(number(r, 23, 6), t.flat) << r.substr(0, 10);
        EXPECT_EQ(number(r, 29, 6), t.hurdle) << r.substr(0, 10);
        EXPECT_EQ(number(r, 35, 9), t.flatPrize) << r.substr(0, 10);
        EXPECT_EQ(number(r, 44, 9), t.hurdlePrize) << r.substr(0, 10);
        const long long started = t.flat + t.hurdle;
        EXPECT_EQ(number(r, 11, 6), started == 0 ? 0 : t.placed * 100000 / started) << r.substr(0, 10);
        if (started > 0) ++withRuns;
    }
    EXPECT_GT(withRuns, 20);
}

// The payouts of every race against the finishing order of its runner records.
TEST_F(SmallWeek, PayoutsFollowTheFinishingOrder) {
    std::map<std::string, std::vector<RecordView<LayoutSE>>> runners;
    for (const Delivered& d : after_->stored["SE"]) {
        RecordView<LayoutSE> se(d.bytes);
        if (ThisWeek(se.Get(kRaceId<LayoutSE>))) runners[std::string(se.Get(kRaceId<LayoutSE>))].push_back(se);
    }
    int deadHeats = 0;
    for (const Delivered& d : after_->stored["HR"]) {
        const RecordView<LayoutHR> hr(d.bytes);
        const std::string id(hr.Get(kRaceId<LayoutHR>));
        ASSERT_TRUE(runners.contains(id)) << id;
        std::map<int, std::vector<std::string>> byPlace;
        std::map<std::string, std::string> ninki;
        for (const auto& se : runners[id]) {
            EXPECT_EQ(se.Get(kDataKubun<LayoutSE>), "7");
            byPlace[std::atoi(std::string(se.Get(se::KakuteiJyuni)).c_str())].push_back(std::string(se.Get(se::Umaban)));
            ninki[std::string(se.Get(se::Umaban))] = se.Get(se::Ninki);
        }
        std::vector<std::string> order;  // horse numbers by place
        for (auto& [place, horses] : byPlace)
            if (place > 0) order.insert(order.end(), horses.begin(), horses.end());
        const auto& winners = byPlace[1];
        std::set<std::string> paidWin;
        for (int i = 0; i < 3; ++i)
            if (hr.Get(hr::PayTansyoUmaban, i) != "  ") paidWin.insert(std::string(hr.Get(hr::PayTansyoUmaban, i)));
        EXPECT_EQ(paidWin, std::set<std::string>(winners.begin(), winners.end())) << id;
        EXPECT_EQ(hr.Get(Locate<LayoutHR>("PayTansyo.Ninki"), 0), ninki[std::string(hr.Get(hr::PayTansyoUmaban, 0))]);
        EXPECT_GE(common::Val(hr.Get(hr::PayTansyoPay, 0)), 100);
        std::set<std::string> placed(order.begin(), order.begin() + 3), paidPlace;
        for (int i = 0; i < 5; ++i)
            if (hr.Get(hr::PayFukusyoUmaban, i) != "  ") paidPlace.insert(std::string(hr.Get(hr::PayFukusyoUmaban, i)));
        EXPECT_EQ(paidPlace, placed) << id;
        const std::string a = order[0], b = order[1], c = order[2];
        EXPECT_EQ(hr.Get(hr::PayUmarenKumi, 0), std::min(a, b) + std::max(a, b)) << id;
        std::vector<std::string> trio = {a, b, c};
        std::sort(trio.begin(), trio.end());
        EXPECT_EQ(hr.Get(hr::PaySanrenpukuKumi, 0), trio[0] + trio[1] + trio[2]) << id;
        std::set<std::string> wide;
        for (int i = 0; i < 7; ++i)
            if (hr.Get(hr::PayWideKumi, i) != "    ") wide.insert(std::string(hr.Get(hr::PayWideKumi, i)));
        EXPECT_EQ(wide, (std::set<std::string>{std::min(a, b) + std::max(a, b), std::min(a, c) + std::max(a, c),
                                               std::min(b, c) + std::max(b, c)}));
        if (winners.size() == 2) {  // a dead heat for first pays both orders of the two
            ++deadHeats;
            EXPECT_EQ((std::set<std::string>{std::string(hr.Get(hr::PayUmatanKumi, 0)), std::string(hr.Get(hr::PayUmatanKumi, 1))}),
                      (std::set<std::string>{a + b, b + a}));
            EXPECT_EQ((std::set<std::string>{std::string(hr.Get(hr::PaySanrentanKumi, 0)), std::string(hr.Get(hr::PaySanrentanKumi, 1))}),
                      (std::set<std::string>{a + b + c, b + a + c}));
            EXPECT_NE(hr.Get(hr::PayTansyoUmaban, 1), "  ");
        } else {
            EXPECT_EQ(winners.size(), 1u) << id;
            EXPECT_EQ(hr.Get(hr::PayUmatanKumi, 0), a + b) << id;
            EXPECT_EQ(hr.Get(hr::PaySanrentanKumi, 0), a + b + c) << id;
            EXPECT_EQ(hr.Get(hr::PayUmatanKumi, 1), "    ");
            EXPECT_EQ(hr.Get(hr::PayTansyoUmaban, 1), "  ");
        }
    }
    EXPECT_EQ(deadHeats, 1);
}

TEST_F(SmallWeek, OneRaceIsCancelledAndHasNoPayouts) {
    std::set<std::string> cancelled, paid;
    for (const Delivered& d : after_->stored["RA"]) {
        const RecordView<LayoutRA> ra(d.bytes);
        if (ra.Get(kDataKubun<LayoutRA>) == "9") cancelled.insert(std::string(ra.Get(kRaceId<LayoutRA>)));
    }
    for (const Delivered& d : after_->stored["HR"]) paid.insert(std::string(RecordView<LayoutHR>(d.bytes).Get(kRaceId<LayoutHR>)));
    ASSERT_EQ(cancelled.size(), 1u);
    EXPECT_FALSE(paid.contains(*cancelled.begin()));
    for (const Delivered& d : after_->stored["SE"]) {
        const RecordView<LayoutSE> se(d.bytes);
        const bool inCancelled = cancelled.contains(std::string(se.Get(kRaceId<LayoutSE>)));
        EXPECT_EQ(se.Get(kDataKubun<LayoutSE>) == "9", inCancelled);
    }
    // The cancelled race is not on the newest race date, so the week's last race record is a result.
    const std::string newest = "20250608";
    EXPECT_LT(cancelled.begin()->substr(0, 8), newest);
}

TEST_F(SmallWeek, EveryRaceIdentifierWithoutItsDateNamesOneRace) {
    // Race cancellation matches races on year, course, meeting, day and race number: two races on
    // different dates must never share them.
    std::map<std::string, std::string> dateOf;
    for (const Delivered& d : after_->stored["RA"]) {
        const std::string id(RecordView<LayoutRA>(d.bytes).Get(kRaceId<LayoutRA>));
        const std::string key = id.substr(0, 4) + id.substr(8);
        const auto [it, added] = dateOf.emplace(key, id.substr(4, 4));
        EXPECT_TRUE(added || it->second == id.substr(4, 4)) << id << " shares its key with a race on " << it->second;
    }
    EXPECT_GT(dateOf.size(), 100u);
}

TEST_F(SmallWeek, BeforeTheRacesTheCardsCarryNoResults) {
    int races = 0;
    for (const Delivered& d : before_->stored["RA"]) {
        const RecordView<LayoutRA> ra(d.bytes);
        if (!ThisWeek(ra.Get(kRaceId<LayoutRA>))) {
            EXPECT_EQ(ra.Get(kDataKubun<LayoutRA>), "7");
            continue;
        }
        ++races;
        EXPECT_EQ(ra.Get(kDataKubun<LayoutRA>), "2");
        EXPECT_EQ(ra.Get(ra::HaronTimeL3), "000");
    }
    EXPECT_EQ(races, 12);
    for (const Delivered& d : before_->stored["SE"]) {
        const RecordView<LayoutSE> se(d.bytes);
        if (!ThisWeek(se.Get(kRaceId<LayoutSE>))) continue;
        EXPECT_EQ(se.Get(se::KakuteiJyuni), "00");
        EXPECT_EQ(se.Get(se::Time), "0000");
        EXPECT_EQ(se.Get(se::BaTaijyu), "   ");
        EXPECT_GE(common::Val(se.Get(se::Umaban)), 1);
    }
}

// Times fit the distance and surface, own last furlongs fit the time, odds fit popularity.
TEST_F(SmallWeek, TimesAndOddsAreCoherent) {
    std::map<std::string, std::pair<int, std::string>> raceOf;  // RaceId -> distance, track
    for (const Delivered& d : after_->stored["RA"]) {
        const RecordView<LayoutRA> ra(d.bytes);
        raceOf[std::string(ra.Get(kRaceId<LayoutRA>))] = {std::atoi(std::string(ra.Get(ra::Kyori)).c_str()),
                                                           std::string(ra.Get(ra::TrackCD))};
    }
    std::map<std::string, std::vector<std::pair<int, int>>> market;  // RaceId -> (ninki, odds)
    std::set<std::string> surfaces;
    for (const Delivered& d : after_->stored["SE"]) {
        const RecordView<LayoutSE> se(d.bytes);
        const std::string time(se.Get(se::Time));
        if (time == "0000") continue;
        const auto& [distance, track] = raceOf[std::string(se.Get(kRaceId<LayoutSE>))];
        const int tenths = (time[0] - '0') * 600 + std::atoi(time.substr(1).c_str());
        const double kmh = distance * 36.0 / tenths;
        const bool hurdle = track >= "51";
        surfaces.insert(hurdle ? "hurdle" : track <= "22" ? "turf" : "dirt");
        EXPECT_GT(kmh, hurdle ? 48 : 52) << distance << " m in " << time;
        EXPECT_LT(kmh, hurdle ? 60 : 67) << distance << " m in " << time;
        const int l3f = std::atoi(std::string(se.Get(se::HaronTimeL3)).c_str());
        EXPECT_GT(l3f, 300);
        EXPECT_LT(l3f, tenths - 200);
        market[std::string(se.Get(kRaceId<LayoutSE>))].push_back(
            {std::atoi(std::string(se.Get(se::Ninki)).c_str()), std::atoi(std::string(se.Get(se::Odds)).c_str())});
    }
    EXPECT_TRUE(surfaces.contains("turf") && surfaces.contains("dirt"));
    for (auto& [id, entries] : market) {
        if (!ThisWeek(id)) continue;
        std::sort(entries.begin(), entries.end());
        for (std::size_t i = 1; i < entries.size(); ++i) EXPECT_LE(entries[i - 1].second, entries[i].second) << id;
    }
}

// Item labels that can be worked out by hand: the race's year and month (item 1) and the weight
// carried (item 4) of every turf run are categories of the turf model.
TEST_F(SmallWeek, TheTurfModelHoldsTheLabelsOfTheTurfRuns) {
    const fs::path opt = after_->folder->Path() / "OPTION1N";
    common::WrittenFieldReader totals = common::WrittenFieldReader::FromFile(opt / "QA1SibaTotalData201901N2025.dat");
    std::vector<int> counts;
    while (!totals.AtEnd()) counts.push_back(static_cast<int>(totals.NextNumber()));
    ASSERT_EQ(counts.size(), 30u);
    common::WrittenFieldReader labels = common::WrittenFieldReader::FromFile(opt / "SibaItemCategory201901N2025.dat");
    common::WrittenFieldReader soha = common::WrittenFieldReader::FromFile(opt / "QA1SibaSohaWeightData201901N2025.dat");
    std::vector<std::set<std::string>> items(30);
    const int widths[30] = {9, 11, 9, 4, 5, 6, 5, 4, 3, 3, 4, 3, 6, 6, 6, 4, 4, 6, 5, 10, 10, 5, 10, 6, 4, 4, 8, 6, 6, 4};
    for (int k = 0; k < 30; ++k) {
        EXPECT_GT(counts[static_cast<std::size_t>(k)], 0) << "item " << k + 1;
        for (int j = 0; j < counts[static_cast<std::size_t>(k)]; ++j) {
            std::string label;
            ASSERT_TRUE(labels.Next(label));
            EXPECT_EQ(static_cast<int>(label.size()), widths[k]) << "item " << k + 1 << " '" << label << "'";
            items[static_cast<std::size_t>(k)].insert(label);
            const double w = soha.NextNumber();
            if (k == 0) {
                EXPECT_NEAR(w, 60, 4);
            } else {
                EXPECT_LT(std::abs(w), 20) << "item " << k + 1;
            }
        }
    }
    std::map<std::string, std::string> track;
    for (const Delivered& d : after_->stored["RA"]) {
        const RecordView<LayoutRA> ra(d.bytes);
        track[std::string(ra.Get(kRaceId<LayoutRA>))] = ra.Get(ra::TrackCD);
    }
    int checked = 0;
    for (const Delivered& d : after_->stored["SE"]) {
        const RecordView<LayoutSE> se(d.bytes);
        const std::string t = track[std::string(se.Get(kRaceId<LayoutSE>))];
        if (t < "10" || t > "22") continue;
        const std::string ym = std::string(se.Get(kYear<LayoutSE>)) + std::string(se.Get(kMonthDay<LayoutSE>)).substr(0, 2) + "   ";
        std::string weight = std::string(se.Get(se::Futan)).substr(0, 2);
        if (weight == "55") weight = "56";
        EXPECT_TRUE(items[0].contains(ym)) << ym;
        EXPECT_TRUE(items[3].contains(weight + "  ")) << weight;
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

TEST_F(SmallWeek, TheCodeTableHasEightFieldsOnEveryLine) {
    const std::string table = common::ReadFileBytes(after_->folder->Path() / "JRACODE" / "CodeTable.csv");
    const auto lines = common::SplitLines(table);
    ASSERT_GT(lines.size(), 50u);
    EXPECT_LE(lines.size(), 501u);
    bool tokyo = false;
    for (const std::string& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 7) << line;
        // 東京 in Shift-JIS as course 05's name, Tokyo its Latin name.
        if (line.rfind("\"2001\",\"05\",", 0) == 0)
            tokyo = line.find("\x93\x8c\x8b\x9e") != std::string::npos && line.find("\"Tokyo\"") != std::string::npos;
    }
    EXPECT_TRUE(tokyo);
}

// Every file under a folder, by relative path.
std::map<std::string, std::string> FilesUnder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) files[fs::relative(e.path(), folder).string()] = common::ReadFileBytes(e.path());
    return files;
}

TEST(DemoWeek, TheSameSeedGivesTheSameWeekWhateverTheWorkersAndAnotherSeedAnother) {
    testsupport::TempAppFolder one, two, three;
    const std::string appFolder = common::AppFolder();
    demoweek::Options options;
    options.scale = demoweek::SmallScale();
    options.state = demoweek::WeekState::After;
    options.seed = 11;
    options.workers = 1;
    options.folder = one.Path();
    demoweek::GenerateWeek(options);
    options.workers = 3;
    options.folder = two.Path();
    demoweek::GenerateWeek(options);
    options.seed = 12;
    options.folder = three.Path();
    demoweek::GenerateWeek(options);

    const auto first = FilesUnder(one.Path()), second = FilesUnder(two.Path());
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        ASSERT_TRUE(second.contains(name)) << name;
        EXPECT_TRUE(bytes == second.at(name)) << name;
    }
    for (const char* file : {"jvdata/stored/RACE/SEW20250607.jvd", "jvdata/stored/RACE/HRW20250608.jvd",
                             "OPTION1N/SibaItemCategory201901N2025.dat", "OPTION1N/QA1DirtSohaWeightData201901N2025.dat"})
        EXPECT_FALSE(one.Read(file).empty()) << file;
    EXPECT_NE(one.Read("jvdata/stored/RACE/SEW20250607.jvd"), three.Read("jvdata/stored/RACE/SEW20250607.jvd"));

    // The runs are labelled in a scratch folder elsewhere: nothing else is left in the week's
    // folder, and AppFolder is what it was.
    std::set<std::string> top;
    for (const auto& e : fs::directory_iterator(one.Path())) top.insert(e.path().filename().string());
    EXPECT_EQ(top, (std::set<std::string>{"jvdata", "OPTION1N", "JRACODE"}));
    EXPECT_EQ(common::AppFolder(), appFolder);
}

}  // namespace

namespace {

// The user's own weights or code table: the demo week writes nothing into such a folder unless
// told to replace them.
TEST(DemoWeek, LeavesAFolderWithSuppliedFilesAsItIsUnlessToldToReplaceThem) {
    for (const char* own : {"OPTION1N/KYOSOBA.dat", "option1n/MyNotes.txt", "JRACODE/CodeTable.csv"}) {
        SCOPED_TRACE(own);
        testsupport::TempAppFolder app;
        app.Write(own, "the user's own");
        demoweek::Options options;
        options.folder = app.Path();
        options.scale = demoweek::SmallScale();
        try {
            demoweek::GenerateWeek(options);
            ADD_FAILURE() << "written over";
        } catch (const std::exception& e) {
            const std::string why = e.what();
            EXPECT_NE(why.find(fs::path(own).filename().string()), std::string::npos) << why;
            EXPECT_NE(why.find("--replace-supplied"), std::string::npos) << why;
        }
        EXPECT_EQ(app.Read(own), "the user's own");
        EXPECT_EQ(FilesUnder(app.Path()).size(), 1u);  // nothing else written, jvdata included
    }

    testsupport::TempAppFolder app;
    app.Write("OPTION1N/KYOSOBA.dat", "the user's own");
    demoweek::Options options;
    options.folder = app.Path();
    options.scale = demoweek::SmallScale();
    options.replaceSupplied = true;
    demoweek::GenerateWeek(options);
    EXPECT_NE(app.Read("OPTION1N/KYOSOBA.dat"), "the user's own");
    EXPECT_TRUE(app.Exists("JRACODE/CodeTable.csv"));
}

}  // namespace

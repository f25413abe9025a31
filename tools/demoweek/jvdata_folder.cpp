#include "jvdata_folder.h"

#include <map>

#include "betting.h"
#include "common/record_file.h"
#include "record_writers.h"
#include "rng.h"

namespace demoweek {

namespace fs = std::filesystem;

namespace {

std::string Two(int v) { return Digits(v, 2); }

// When a race's odds were announced: the evening before for the early market, the minute before
// the start for the final odds.
std::string Announced(const Race& race, WeekState state) {
    if (state == WeekState::Before) {
        const Day eve = race.day.Plus(-1);
        return Two(eve.Month()) + Two(eve.DayOfMonth()) + "1800";
    }
    const int minutes = race.hassoTime / 100 * 60 + race.hassoTime % 100 - 1;
    return Two(race.day.Month()) + Two(race.day.DayOfMonth()) + Two(minutes / 60) + Two(minutes % 60);
}

}  // namespace

int DoubledPayoutRace(const World& world, WeekState state) {
    // The second race with a payout, so that the doubled record is not the file's first.
    int seen = 0;
    for (int i = 0; i < world.weekRaceCount; ++i)
        if (HasPayoutRecord(world.races[static_cast<std::size_t>(i)], state) && ++seen == 2) return i;
    return -1;
}

bool HasPayoutRecord(const Race& race, WeekState state) { return state == WeekState::After && race.thisWeek && !race.cancelled; }

JvDataCounts WriteJvData(const World& world, WeekState state, const fs::path& root) {
    JvDataCounts n;
    fs::remove_all(root / "stored");
    fs::remove_all(root / "realtime");
    for (const char* id : {"RACE", "TCVN", "RCVN", "TCOV", "RCOV"}) fs::create_directories(root / "stored" / id);
    fs::create_directories(root / "realtime" / "0B12");
    fs::create_directories(root / "realtime" / "0B30");

    std::map<fs::path, std::string> files;
    auto add = [&](const fs::path& file, const std::string& record) { files[file] += record; };
    const fs::path race = root / "stored" / "RACE";
    const bool after = state == WeekState::After;
    const Day fetched = world.FetchDay(state);

    // Past races, one file of each kind per month, runners only for this week's horses.
    for (std::size_t i = static_cast<std::size_t>(world.weekRaceCount); i < world.races.size(); ++i) {
        const Race& r = world.races[i];
        const Stage stage = PastStage(r);
        const std::string month = r.day.Ymd().substr(0, 6);
        add(race / ("RAH" + month + ".jvd"), RaRecord(world, r, stage));
        ++n.ra;
        for (const Slot& s : r.slots) {
            if (s.horse < 0) continue;
            add(race / ("SEH" + month + ".jvd"), SeRecord(world, r, s, stage));
            ++n.se;
        }
    }
    // This week's races: the race cards before, the results after (a cancelled race as kind 9).
    for (int i = 0; i < world.weekRaceCount; ++i) {
        const Race& r = world.races[static_cast<std::size_t>(i)];
        const std::string date = r.day.Ymd();
        const Stage stage = WeekStage(world, r, state);
        const std::string ra = RaRecord(world, r, stage);
        add(race / ("RAW" + date + ".jvd"), ra);
        add(root / "realtime" / "0B12" / date, ra);
        ++n.ra;
        std::string runners;
        for (const Slot& s : r.slots) runners += SeRecord(world, r, s, stage);
        add(race / ("SEW" + date + ".jvd"), runners);
        n.se += static_cast<long long>(r.slots.size());
        Rng rng = Rng::For(world.seed, "market", static_cast<std::uint64_t>(i));
        const OddsBook early = MakeOddsBook(r, EarlyChances(r, rng));
        const OddsBook final = MakeOddsBook(r, FinalChances(r));
        if (HasPayoutRecord(r, state)) {
            const RacePayouts payouts = PayoutsOf(r, final);
            if (i == DoubledPayoutRace(world, state)) {
                // Delivered twice: an earlier version, a day older and with another win payout,
                // right before the final record.
                RacePayouts earlier = payouts;
                if (!earlier.win.empty()) earlier.win.front().pay += 10;
                Stage older = stage;
                older.made = stage.made.Plus(-1);
                add(race / ("HRW" + date + ".jvd"), HrRecord(r, earlier, older));
                ++n.hr;
            }
            add(race / ("HRW" + date + ".jvd"), HrRecord(r, payouts, stage));
            ++n.hr;
        }
        if (after && r.cancelled) continue;  // no odds for a race that was called off
        const OddsBook& book = after ? final : early;
        const char kubun = after ? '4' : '1';
        const std::string when = Announced(r, state);
        const std::string o1 = O1Record(r, book, kubun, fetched, when);
        const std::string o2 = O2Record(r, book, kubun, fetched, when);
        const std::string o4 = O4Record(r, book, kubun, fetched, when);
        const std::string o5 = O5Record(r, book, kubun, fetched, when);
        const std::string o6 = O6Record(r, book, kubun, fetched, when);
        // Quinella, exacta and trio in one file group, trifecta in another: the two odds fetches
        // keep different kinds from the same data spec.
        add(root / "stored" / "TCOV" / ("OWW" + date + ".jvd"), o1 + o2 + o4 + o5);
        add(root / "stored" / "RCOV" / ("O6W" + date + ".jvd"), o6);
        add(root / "realtime" / "0B30" / r.RaceId(), o1 + o2 + o4 + o5 + o6);
        n.odds += 5;
    }
    // Breaking news of a race date: its runners after its races, then its payouts.
    for (const Day& day : world.weekDays) {
        const std::string date = day.Ymd();
        const fs::path path = root / "realtime" / "0B12" / date;
        if (!files.contains(path)) continue;
        files[path] += files[race / ("SEW" + date + ".jvd")];
        if (after) files[path] += files[race / ("HRW" + date + ".jvd")];
    }
    // The week's horses and every jockey.
    const std::string made = fetched.Ymd();
    for (const Horse& h : world.horses) {
        add(root / "stored" / "TCVN" / ("UMW" + made + ".jvd"), UmRecord(world, h, fetched));
        ++n.um;
    }
    for (const Person& j : world.jockeys) {
        add(root / "stored" / "RCVN" / ("KSW" + made + ".jvd"), KsRecord(world, j, fetched));
        ++n.ks;
    }
    for (const auto& [path, content] : files) {
        if (content.empty()) continue;
        common::WriteFileAtomically(path, content);
        (path.parent_path().parent_path().filename() == "stored" ? n.storedFiles : n.realtimeFiles)++;
    }
    return n;
}

}  // namespace demoweek

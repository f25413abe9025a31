#include "generator.h"

#include <sstream>

#include "code_table.h"
#include "item_labels.h"
#include "jvdata_folder.h"
#include "model_files.h"
#include "people.h"
#include "race_program.h"
#include "record_writers.h"
#include "records/fields.h"
#include "records/record.h"
#include "statistics_files.h"

namespace demoweek {

namespace fs = std::filesystem;

Scale NormalScale() { return Scale{}; }

Scale FullScale() {
    Scale s;
    s.days = 2;
    s.courses = 4;
    s.racesPerDay = 12;
    s.minRunners = 18;
    s.maxRunners = 18;
    s.history = 65;
    s.fullHistory = true;
    return s;
}

Scale SmallScale() {
    Scale s;
    s.days = 2;
    s.courses = 2;
    s.racesPerDay = 3;
    s.minRunners = 8;
    s.maxRunners = 10;
    s.history = 8;
    return s;
}

World BuildWorld(std::uint64_t seed, const Scale& scale, Day saturday) {
    World world;
    world.seed = seed;
    world.scale = scale;
    world.saturday = saturday;
    CreateWeekRaces(world);
    int runners = 0;
    for (const Race& r : world.races) runners += static_cast<int>(r.slots.size());
    CreatePeople(world, runners);
    CreateSires(world);
    std::vector<std::vector<PlannedRun>> plans;
    CreateWeekFields(world, plans);
    PlacePastRuns(world, plans);
    RunWeekRaces(world);
    NameOutsiders(world);
    return world;
}

namespace {

// Labels of every run of every horse, this week's run in each form the program can see it in:
// as fetched before and after the races, and after the day-before fix of either.
void CollectLabels(const World& world, const Statistics& stats, ModelData& model, Summary& summary) {
    std::vector<std::string> raCache(world.races.size());
    auto raOf = [&](int index, const Stage& stage) -> const std::string& {
        std::string& cached = raCache[static_cast<std::size_t>(index)];
        if (cached.empty()) cached = RaRecord(world, world.races[static_cast<std::size_t>(index)], stage);
        return cached;
    };
    std::map<std::string, std::string> jockeyYear;
    for (const Person& j : world.jockeys) jockeyYear[j.code] = j.birth.Ymd().substr(0, 4);
    auto yearOf = [&](const std::string& se) {
        const records::RecordView<records::LayoutSE> view(se);
        auto it = jockeyYear.find(std::string(view.Get(records::se::KisyuCode)));
        return it == jockeyYear.end() ? std::string("    ") : it->second;
    };
    const Day before = world.FetchDay(WeekState::Before), after = world.FetchDay(WeekState::After);
    for (const Horse& h : world.horses) {
        const std::string& sire = world.sires[static_cast<std::size_t>(h.sire)].self.num;
        const std::string& dam = world.dams[static_cast<std::size_t>(h.dam)].self.num;
        std::vector<RunView> runs;
        for (std::size_t k = 0; k + 1 < h.runs.size(); ++k) {
            const Race& race = world.races[static_cast<std::size_t>(h.runs[k].race)];
            const Stage stage{'7', race.day.Plus(2), true};
            const std::string se = SeRecord(world, race, race.slots[static_cast<std::size_t>(h.runs[k].slot)], stage);
            runs.push_back(ViewOf(se, raOf(h.runs[k].race, stage), h.birth.Ymd(), sire, dam, yearOf(se)));
            AddRun(model, runs.back(), LabelsOf(runs, static_cast<int>(runs.size()), stats));
            ++summary.labelledRuns;
        }
        const RunRef week = h.runs.back();
        const Race& race = world.races[static_cast<std::size_t>(week.race)];
        const Slot& slot = race.slots[static_cast<std::size_t>(week.slot)];
        const std::string previousWeight = runs.empty() ? "440" : runs.back().bataijyu;
        for (int variant = 0; variant < 4; ++variant) {
            const bool isAfter = variant >= 2, fixed = variant % 2 == 1;
            const Stage stage{isAfter ? (race.cancelled ? '9' : '7') : '2', isAfter ? after : before, isAfter};
            const std::string se = SeRecord(world, race, slot, stage);
            RunView v = ViewOf(se, RaRecord(world, race, stage), h.birth.Ymd(), sire, dam, yearOf(se));
            if (fixed) {
                v.bataijyu = previousWeight;
                v.timeDiff = "0000";
                if (isAfter && !race.cancelled) v.tenko = v.siba = v.dirt = "1";
            }
            runs.push_back(v);
            AddRun(model, runs.back(), LabelsOf(runs, static_cast<int>(runs.size()), stats));
            runs.pop_back();
            ++summary.labelledRuns;
        }
    }
}

}  // namespace

Summary WriteWeek(const World& world, WeekState state, const fs::path& appFolder) {
    Summary s;
    s.races = world.weekRaceCount;
    s.pastRaces = static_cast<int>(world.races.size()) - world.weekRaceCount;
    s.horses = static_cast<int>(world.horses.size());
    s.jockeys = static_cast<int>(world.jockeys.size());
    s.trainers = static_cast<int>(world.trainers.size());
    s.sires = static_cast<int>(world.sires.size());
    s.dams = static_cast<int>(world.dams.size());

    const JvDataCounts jv = WriteJvData(world, state, appFolder / "jvdata");
    s.ra = jv.ra;
    s.se = jv.se;
    s.hr = jv.hr;
    s.um = jv.um;
    s.ks = jv.ks;
    s.odds = jv.odds;
    s.storedFiles = jv.storedFiles;
    s.realtimeFiles = jv.realtimeFiles;

    const fs::path option1n = appFolder / "OPTION1N";
    fs::create_directories(option1n);
    const Statistics stats = BuildStatistics(world);
    WriteStatistics(world, stats, option1n);

    ModelData model;
    CollectLabels(world, stats, model, s);
    AddUsualLabels(model, world);
    for (const auto& surface : model.items)
        for (const auto& item : surface) s.categories += static_cast<long long>(item.size());
    WriteModelFiles(model, world, option1n);

    fs::create_directories(appFolder / "JRACODE");
    WriteCodeTable(appFolder / "JRACODE" / "CodeTable.csv");
    return s;
}

Summary GenerateWeek(const Options& options) {
    const World world = BuildWorld(options.seed, options.scale, options.saturday);
    return WriteWeek(world, options.state, options.folder);
}

std::string Summary::Text() const {
    std::ostringstream out;
    out << races << " races this week, " << pastRaces << " past races, " << horses << " horses, " << jockeys
        << " jockeys, " << trainers << " trainers, " << sires << " sires, " << dams << " dams\n"
        << "records: RA " << ra << ", SE " << se << ", HR " << hr << ", UM " << um << ", KS " << ks << ", odds " << odds
        << " in " << storedFiles << " stored and " << realtimeFiles << " breaking-news files\n"
        << "model: " << labelledRuns << " labelled runs, " << categories << " categories over three surfaces\n";
    return out.str();
}

}  // namespace demoweek

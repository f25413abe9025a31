#include "generator.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "code_table.h"
#include "common/paths.h"
#include "jvdata_folder.h"
#include "model_files.h"
#include "people.h"
#include "race_program.h"
#include "run_labels.h"
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

Summary WriteWeek(const World& world, WeekState state, const fs::path& appFolder, int workers) {
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

    // Each worker tallies its own runs; the tallies merge to the same model in any order.
    if (workers <= 0) workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::vector<ModelData> parts(static_cast<std::size_t>(workers));
    const LabelledRunCounts labelled =
        LabelRuns(world, stats, option1n, workers, [&](int worker, const engine::ExRecord& run, auto failures) {
            AddRun(parts[static_cast<std::size_t>(worker)], run, failures);
        });
    ModelData model;
    for (const ModelData& part : parts) Merge(model, part);
    s.labelledRuns = labelled.runs;
    s.labelFailures = labelled.failures;
    s.firstLabelFailure = labelled.firstFailure;
    AddUsualLabels(model, world);
    for (const auto& surface : model.items)
        for (const auto& item : surface) s.categories += static_cast<long long>(item.size());
    WriteModelFiles(model, world, option1n);

    fs::create_directories(appFolder / "JRACODE");
    WriteCodeTable(appFolder / "JRACODE" / "CodeTable.csv");
    return s;
}

std::vector<fs::path> SuppliedFilesIn(const fs::path& appFolder) {
    std::vector<fs::path> files;
    for (const char* name : {"OPTION1N", "JRACODE"}) {
        std::error_code ec;
        const fs::path folder = common::FindNoCase(appFolder, name);
        std::vector<fs::path> here;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) here.push_back(it->path());
        std::sort(here.begin(), here.end());
        files.insert(files.end(), here.begin(), here.end());
    }
    return files;
}

Summary GenerateWeek(const Options& options) {
    // The user's own weights and code table are worth more than a made-up week's.
    if (!options.replaceSupplied) {
        const std::vector<fs::path> supplied = SuppliedFilesIn(options.folder);
        if (!supplied.empty()) {
            std::string names;
            for (std::size_t i = 0; i < supplied.size() && i < 3; ++i)
                names += (i ? ", " : "") + (supplied[i].parent_path().filename() / supplied[i].filename()).string();
            if (supplied.size() > 3) names += ", ...";
            throw std::runtime_error(options.folder.string() + " holds supplied files already (" + names +
                                     "); nothing was written. Give --replace-supplied to write the demo week's "
                                     "files over them.");
        }
    }
    const World world = BuildWorld(options.seed, options.scale, options.saturday);
    Summary summary = WriteWeek(world, options.state, options.folder, options.workers);
    summary.pastWeeks = options.pastWeeks;
    summary.pastWeekFiles = WritePastWeeks(options);
    return summary;
}

std::string Summary::Text() const {
    std::ostringstream out;
    out << races << " races this week, " << pastRaces << " past races, " << horses << " horses, " << jockeys
        << " jockeys, " << trainers << " trainers, " << sires << " sires, " << dams << " dams\n"
        << "records: RA " << ra << ", SE " << se << ", HR " << hr << ", UM " << um << ", KS " << ks << ", odds " << odds
        << " in " << storedFiles << " stored and " << realtimeFiles << " breaking-news files\n"
        << "model: " << labelledRuns << " labelled runs, " << categories << " categories over three surfaces\n";
    if (pastWeeks > 0) out << pastWeeks << " past weeks: " << pastWeekFiles << " files in TEKICHU/ and SOKUDO/\n";
    if (labelFailures > 0)
        out << "labels that could not be computed: " << labelFailures << ", the first: " << firstLabelFailure << "\n";
    return out.str();
}

}  // namespace demoweek

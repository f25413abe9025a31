#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "world.h"

// The whole week: the model of it, then every file written into an application folder.
namespace demoweek {

struct Options {
    std::filesystem::path folder;
    WeekState state = WeekState::Before;
    std::uint64_t seed = 1;
    Day saturday = DayOf(2025, 6, 7);
    Scale scale;
    int workers = 0;  // threads that label the runs; 0: one per processor, at most eight
    bool replaceSupplied = false;  // write over files already in OPTION1N/ and JRACODE/
    int pastWeeks = 0;  // weeks before the Saturday run after their results (0 to 60)
};

/// The presets: a normal week (two days, three courses, twelve races, 8 to 18 runners, up to 65
/// past runs), the full limits (96 races of 18 runners, 65 past runs each) and a small week for
/// tests (two days, two courses, three races, 8 to 10 runners, up to 8 past runs).
Scale NormalScale();
Scale FullScale();
Scale SmallScale();

/// The week as a model, the same for the same seed, scale and Saturday.
World BuildWorld(std::uint64_t seed, const Scale& scale, Day saturday);

struct Summary {
    int races = 0, pastRaces = 0, horses = 0, jockeys = 0, trainers = 0, sires = 0, dams = 0;
    long long ra = 0, se = 0, hr = 0, um = 0, ks = 0, odds = 0, storedFiles = 0, realtimeFiles = 0;
    long long labelledRuns = 0, categories = 0;
    int pastWeeks = 0, pastWeekFiles = 0;
    long long labelFailures = 0;    // item labels of the runs that the engine could not compute
    std::string firstLabelFailure;
    std::string Text() const;
};

/// Writes jvdata/, OPTION1N/ and JRACODE/CodeTable.csv of `world` in `state` into `appFolder`.
/// The files are the same whatever the number of `workers` (0: one per processor, at most eight).
Summary WriteWeek(const World& world, WeekState state, const std::filesystem::path& appFolder, int workers = 0);

/// What `appFolder`'s OPTION1N/ and JRACODE/ hold (folder names matched without regard to letter
/// case), in name order: the user's own weights and code table, when there are any.
std::vector<std::filesystem::path> SuppliedFilesIn(const std::filesystem::path& appFolder);

/// The seed of the past week of `saturday`, made from the week's own seed.
std::uint64_t PastWeekSeed(std::uint64_t seed, Day saturday);

/// The `options.pastWeeks` weeks before options.saturday, oldest first, each of options.scale,
/// written in the after-results state into a scratch folder and run there through the program's
/// steps (fetch, structures, compute, the weekly batch); the day files the batch left in TEKICHU
/// and its SOKUDO/HR*.csv go into options.folder, nothing else stays. Returns the number of files
/// copied.
int WritePastWeeks(const Options& options);

/// Builds the week and writes it into options.folder. Unless options.replaceSupplied, a folder
/// that holds supplied files already (SuppliedFilesIn) is refused with an exception that names
/// them, before anything is written.
Summary GenerateWeek(const Options& options);

}  // namespace demoweek

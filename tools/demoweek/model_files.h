#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <string>

#include "item_labels.h"
#include "world.h"

// The model weights of the three surfaces: for every item the labels that the week's runs
// produce and the usual labels of the item besides, with base levels and corrections drawn from
// the runs' measured speeds.
namespace demoweek {

enum ModelSurface { kSiba = 0, kDirt = 1, kShog = 2 };

/// What the runs of one label of one item showed.
struct LabelTally {
    int runs = 0;
    int timed = 0;  // runs with measured speeds
    double agari = 0, pace = 0, soha = 0;
};

struct ModelData {
    // [surface][item] label -> tally
    std::array<std::array<std::map<std::string, LabelTally>, kItemCount>, 3> items;
};

/// The surface of a track code ("10" to "22" turf, "23" to "29" dirt, "50" to "59" hurdles); -1 none.
int ModelSurfaceOf(const std::string& track);

/// Adds one labelled run (its measured speeds when it has a time).
void AddRun(ModelData& model, const RunView& run, const std::array<std::string, kItemCount>& labels);

/// Adds the labels every item commonly takes, whether or not this week's runs produce them.
void AddUsualLabels(ModelData& model, const World& world);

/// Writes the sixteen files into `option1n`.
void WriteModelFiles(const ModelData& model, const World& world, const std::filesystem::path& option1n);

}  // namespace demoweek

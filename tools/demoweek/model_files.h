#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>

#include "engine/ex_record.h"
#include "engine/model_items.h"
#include "engine/model_tables.h"
#include "world.h"

// The model weights of the three surfaces: for every item the labels that the week's runs
// produce and the usual labels of the item besides, with base levels and corrections drawn from
// the runs' measured speeds.
namespace demoweek {

/// What the runs of one label of one item showed. The speeds are summed in their stored unit
/// (1/100000 km/h) as whole numbers, so that tallies merge to the same sums in any order.
struct LabelTally {
    int runs = 0;
    int timed = 0;  // runs with measured speeds
    std::int64_t agari = 0, pace = 0, soha = 0;
};

struct ModelData {
    // [surface index][item - 1] label -> tally
    std::array<std::array<std::map<std::string, LabelTally>, engine::kItemCount>, 3> items;
};

/// Adds one run labelled by the engine, with its measured speeds when it has them. A run without
/// a surface adds nothing; an item whose label could not be computed adds nothing to that item.
void AddRun(ModelData& model, const engine::ExRecord& run, std::span<const engine::ItemLabelFailure> failures);

/// Adds the labels and tallies of `part` (one worker's runs) to `model`.
void Merge(ModelData& model, const ModelData& part);

/// Adds the labels every item commonly takes, whether or not this week's runs produce them.
void AddUsualLabels(ModelData& model, const World& world);

/// Writes the sixteen files into `option1n`.
void WriteModelFiles(const ModelData& model, const World& world, const std::filesystem::path& option1n);

}  // namespace demoweek

#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/model_item_helpers.h"
#include "world.h"

// The supplied statistics files of OPTION1N, keyed on the week's sires, dams, horses, jockeys
// and trainers, and the foal list of each dam. Their records follow the engine's layouts
// (engine/stats_records.h): every value is placed at the position the engine reads it from.
namespace demoweek {

/// The records of each file, in file order, each ending in CR LF.
struct Statistics {
    std::vector<std::string> stallion;  // STALLION.dat (SireDamStats)
    std::vector<std::string> mare;      // MARE.dat and HAHAUMA.dat (SireDamStats)
    std::vector<std::string> horse;     // KYOSOBA.dat (HorseStats)
    std::vector<std::string> jockey;    // KISHUSEISEI.dat (PersonStats)
    std::vector<std::string> trainer;   // CHOKYOSEISEI.dat (PersonStats)
    std::vector<std::string> foals;     // HNSKOPTION1N.dat (DamFoalRecord)
};

Statistics BuildStatistics(const World& world);

/// KYOSOBA, HAHAUMA, STALLION, MARE, KISHUSEISEI, CHOKYOSEISEI, HNSKOPTION1N and
/// KS20190101NEW in `option1n`.
void WriteStatistics(const World& world, const Statistics& stats, const std::filesystem::path& option1n);

/// The statistics as the model items read them during the computation. Every horse of KYOSOBA.dat
/// runs this week, so this week's subset of it is the whole file.
engine::ItemStatistics ItemStatisticsOf(const Statistics& stats);

}  // namespace demoweek

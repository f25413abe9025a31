#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "world.h"

// The supplied statistics files of OPTION1N, keyed on the week's sires, dams, horses, jockeys
// and trainers, and the foal list of each dam.
namespace demoweek {

/// Byte positions (1-based) and widths of the statistics records' fields that the program reads.
namespace stats {
inline constexpr int kSireDamLength = 402;
inline constexpr int kHorseLength = 228;
inline constexpr int kPersonLength = 121;
inline constexpr int kFoalLength = 22;
}  // namespace stats

/// One statistics file: its records in file order, and an index by key (the first record of a
/// key, as the program's lookup finds it).
struct StatsFile {
    std::vector<std::string> records;
    std::unordered_map<std::string, std::size_t> index;
    const std::string* Find(const std::string& key) const {
        auto it = index.find(key);
        return it == index.end() ? nullptr : &records[it->second];
    }
    void Add(std::string key, std::string record) {
        index.emplace(std::move(key), records.size());
        records.push_back(std::move(record));
    }
};

struct Statistics {
    StatsFile stallion, mare, horse, jockey, trainer;
    std::vector<std::string> foals;  // HNSKOPTION1N.dat records
};

Statistics BuildStatistics(const World& world);

/// KYOSOBA, HAHAUMA, STALLION, MARE, KISHUSEISEI, CHOKYOSEISEI, HNSKOPTION1N and
/// KS20190101NEW in `option1n`.
void WriteStatistics(const World& world, const Statistics& stats, const std::filesystem::path& option1n);

/// Field text of a statistics record at a 1-based position.
std::string_view StatsField(const std::string& record, int position, int width);

}  // namespace demoweek

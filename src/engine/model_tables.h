#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/surface.h"

// The supplied model of one surface: for each of the thirty items its category labels, the Agari,
// Pace and Soha weights (km/h) and the training counts, read from the text files in OPTION1N.
// A surface is read once into tables sized by its category counts; lookups answer as the full
// 6001 x 31 tables would: a category beyond the item's count, and category 0, weigh 0.
namespace engine {

inline constexpr int kItemCount = 30;
inline constexpr int kMaxCategories = 6000;

enum class Target { Agari, Pace, Soha };

enum class ModelFile { TotalData, ItemCategory, ItemCategoryCount, AgariWeightData, PaceWeightData, SohaWeightData };

/// What a load reads: the labels (category counts and labels) or everything (also the three
/// weight files and the training counts).
enum class ModelScope { Labels, Weights };

/// The file name of one model file of a surface, e.g. "QA1SibaTotalData201901N2025.dat".
std::string ModelFileName(Surface surface, ModelFile file);

/// The file that holds a target's weights: the hurdle model has only its Soha file, which serves
/// all three targets.
ModelFile WeightFile(Surface surface, Target target);

/// The files a surface has: six for Siba and Dirt, four for Shog.
std::vector<ModelFile> ModelFilesOf(Surface surface);

/// A model file that is missing, cannot be read, ends before its last value or holds values after
/// it (a list longer or shorter than its category counts say), holds a value that is not a number
/// where one is needed, or a category count outside 0 to 6000. The message names the file.
class ModelFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModelTables {
public:
    Surface GetSurface() const { return surface_; }
    ModelScope Scope() const { return scope_; }

    /// Number of categories of item k (1 to 30); 0 for item 0. Throws std::out_of_range for any
    /// other k.
    int TotalData(int k) const;

    /// Label of category j of item k, bytes as read (quotes removed, blanks kept); empty for
    /// j = 0 and j beyond TotalData(k). j outside 0..6000 or k outside 0..30 throws
    /// std::out_of_range, as the full tables would.
    std::string_view Label(int j, int k) const;

    /// Training count of category j of item k; 0 for j = 0, beyond TotalData(k), and with the
    /// labels scope.
    std::int32_t Count(int j, int k) const;

    /// Weight of category j of item k for a target; 0 for j = 0, beyond TotalData(k), and with
    /// the labels scope. The same bounds as Label.
    float Weight(Target target, int j, int k) const;
    float Agari(int j, int k) const { return Weight(Target::Agari, j, k); }
    float Pace(int j, int k) const { return Weight(Target::Pace, j, k); }
    float Soha(int j, int k) const { return Weight(Target::Soha, j, k); }

    /// The first category j of item k whose label equals `label` exactly (same bytes, same
    /// length, trailing blanks included); 0 when there is none.
    int FindCategory(int k, std::string_view label) const;

    /// The first category j of item k whose label's first five characters equal `text`
    /// (a label shorter than five characters is compared whole); 0 when there is none.
    int FindCategoryByFirstFive(int k, std::string_view text) const;

    /// The category of a run's label field in item k: the exact match; failing that, for item 2
    /// only, "6" and characters 2 to 5 of the label compared with the first five characters of
    /// the item's labels; 0 when neither finds one.
    int FindCategoryIndex(int k, std::string_view lookupLabel) const;

private:
    friend ModelTables LoadModelTables(Surface surface, ModelScope scope);

    struct TransparentHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using Index = std::unordered_map<std::string, int, TransparentHash, std::equal_to<>>;

    struct Item {
        int total = 0;
        std::vector<std::string> labels;                // [j - 1]
        std::vector<std::int32_t> counts;               // [j - 1], empty with the labels scope
        std::array<std::vector<float>, 3> weights;      // [target][j - 1], likewise
        Index exact;                                    // label -> first j
        Index firstFive;                                // first five characters -> first j
        bool zeroByteLabel = false;                     // a label of zero bytes only (or empty)
    };

    static void CheckBounds(int j, int k);
    void BuildIndexes();

    Surface surface_ = Surface::Siba;
    ModelScope scope_ = ModelScope::Labels;
    std::array<Item, kItemCount + 1> items_;  // [0] stays empty
};

/// Reads the model files of a surface: the 30 category counts, then the labels, then (weights
/// scope) the three weight files together, value by value, then the training counts. File names
/// are matched without regard to letter case. Throws ModelFileError naming the file that fails.
ModelTables LoadModelTables(Surface surface, ModelScope scope);

/// Each surface's tables, loaded on first use and kept: one computation reads each surface once.
/// A load that fails throws and is tried again on the next call. References stay valid until
/// Clear().
class ModelCache {
public:
    /// Tables that answer label lookups (the weights tables when they are loaded already).
    const ModelTables& Labels(Surface surface);
    /// Tables with labels, weights and counts.
    const ModelTables& Weights(Surface surface);
    void Clear();

private:
    std::array<std::unique_ptr<ModelTables>, 3> labels_;
    std::array<std::unique_ptr<ModelTables>, 3> weights_;
};

}  // namespace engine

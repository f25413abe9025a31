#include "engine/model_tables.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"

namespace engine {

namespace fs = std::filesystem;

namespace {

std::string_view Stem(ModelFile file) {
    switch (file) {
    case ModelFile::TotalData: return "TotalData";
    case ModelFile::ItemCategory: return "ItemCategory";
    case ModelFile::ItemCategoryCount: return "ItemCategoryCount";
    case ModelFile::AgariWeightData: return "AgariWeightData";
    case ModelFile::PaceWeightData: return "PaceWeightData";
    case ModelFile::SohaWeightData: return "SohaWeightData";
    }
    return "";
}

/// Bytes of the first n CP932 characters (a double-byte character counts once).
std::size_t Cp932Prefix(std::string_view bytes, std::size_t n) { return common::LeftCp932Chars(bytes, n).size(); }

/// Characters start..start+n-1 (0-based) of CP932 bytes.
std::string_view Cp932Mid(std::string_view bytes, std::size_t start, std::size_t n) {
    const std::size_t from = Cp932Prefix(bytes, start);
    const std::string_view rest = bytes.substr(from);
    return rest.substr(0, Cp932Prefix(rest, n));
}

/// One model file, read value by value; every failure names the file.
class ModelFileReader {
public:
    ModelFileReader(Surface surface, ModelFile file)
        : path_(common::Option1nPath(ModelFileName(surface, file))), in_(Open(path_)) {}

    std::string Text() {
        std::string value;
        if (!in_.Next(value)) Fail("model file ends before its last value");
        if (in_.Unreadable()) Fail("model file holds a value it cannot read on line " + std::to_string(in_.Line()));
        return value;
    }
    double Number() {
        const std::string text = Text();
        const auto value = common::StrictNumber(text);
        if (!value) Fail("model file holds \"" + text + "\" where a number belongs");
        return *value;
    }
    float Single() {
        const std::string text = Text();
        const auto value = common::StrictSingle(text);
        if (!value) Fail("model file holds \"" + text + "\" where a weight belongs");
        return *value;
    }
    /// After the last value the category counts call for: a value more is a line added, and the
    /// values would stand one place off from their categories.
    void End() {
        std::string_view more;
        if (in_.Next(more)) Fail("model file holds more values than its category counts say");
    }
    [[noreturn]] void Fail(const std::string& reason) const { throw ModelFileError(reason + ": " + path_.string()); }

private:
    static common::WrittenFieldReader Open(const fs::path& path) {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            throw ModelFileError("model file missing: " + path.string());
        try {
            return common::WrittenFieldReader(common::ReadFileBytes(path), common::FieldLines::Spread);
        } catch (const std::exception&) {
            throw ModelFileError("model file cannot be read: " + path.string());
        }
    }

    fs::path path_;
    common::WrittenFieldReader in_;
};

}  // namespace

std::string ModelFileName(Surface surface, ModelFile file) {
    const bool qa1 = file != ModelFile::ItemCategory && file != ModelFile::ItemCategoryCount;
    return std::string(qa1 ? "QA1" : "") + std::string(SurfaceName(surface)) + std::string(Stem(file)) +
           "201901N2025.dat";
}

ModelFile WeightFile(Surface surface, Target target) {
    if (surface == Surface::Shog) return ModelFile::SohaWeightData;
    switch (target) {
    case Target::Agari: return ModelFile::AgariWeightData;
    case Target::Pace: return ModelFile::PaceWeightData;
    case Target::Soha: return ModelFile::SohaWeightData;
    }
    return ModelFile::SohaWeightData;
}

std::vector<ModelFile> ModelFilesOf(Surface surface) {
    if (surface == Surface::Shog)
        return {ModelFile::TotalData, ModelFile::ItemCategory, ModelFile::ItemCategoryCount, ModelFile::SohaWeightData};
    return {ModelFile::TotalData,       ModelFile::ItemCategory,   ModelFile::ItemCategoryCount,
            ModelFile::AgariWeightData, ModelFile::PaceWeightData, ModelFile::SohaWeightData};
}

void ModelTables::CheckBounds(int j, int k) {
    if (k < 0 || k > kItemCount) throw std::out_of_range("model item " + std::to_string(k));
    if (j < 0 || j > kMaxCategories) throw std::out_of_range("model category " + std::to_string(j));
}

int ModelTables::TotalData(int k) const {
    CheckBounds(0, k);
    return items_[static_cast<std::size_t>(k)].total;
}

std::string_view ModelTables::Label(int j, int k) const {
    CheckBounds(j, k);
    const Item& item = items_[static_cast<std::size_t>(k)];
    if (j < 1 || j > item.total) return {};
    return item.labels[static_cast<std::size_t>(j - 1)];
}

std::int32_t ModelTables::Count(int j, int k) const {
    CheckBounds(j, k);
    const Item& item = items_[static_cast<std::size_t>(k)];
    if (j < 1 || j > static_cast<int>(item.counts.size())) return 0;
    return item.counts[static_cast<std::size_t>(j - 1)];
}

float ModelTables::Weight(Target target, int j, int k) const {
    CheckBounds(j, k);
    const auto& column = items_[static_cast<std::size_t>(k)].weights[static_cast<std::size_t>(target)];
    if (j < 1 || j > static_cast<int>(column.size())) return 0.0f;
    return column[static_cast<std::size_t>(j - 1)];
}

int ModelTables::FindCategory(int k, std::string_view label) const {
    CheckBounds(0, k);
    const Index& index = items_[static_cast<std::size_t>(k)].exact;
    const auto found = index.find(label);
    return found == index.end() ? 0 : found->second;
}

int ModelTables::FindCategoryByFirstFive(int k, std::string_view text) const {
    CheckBounds(0, k);
    const Index& index = items_[static_cast<std::size_t>(k)].firstFive;
    const auto found = index.find(text);
    return found == index.end() ? 0 : found->second;
}

namespace {

bool AllZeroBytes(std::string_view text) { return text.find_first_not_of('\0') == std::string_view::npos; }

}  // namespace

int ModelTables::FindCategoryIndex(int k, std::string_view lookupLabel) const {
    // A label field never written holds zero bytes (all runs but the newest four have them): no
    // category has such a label unless the model has one of zero bytes, so the lookup is spared.
    CheckBounds(0, k);
    const bool unset = !items_[static_cast<std::size_t>(k)].zeroByteLabel && AllZeroBytes(lookupLabel);
    if (const int j = unset ? 0 : FindCategory(k, lookupLabel)) return j;
    if (k == 2) {
        // A draw the model never saw at this course is tried as the same layout at course "6".
        const std::string second = "6" + std::string(Cp932Mid(lookupLabel, 1, 4));
        return FindCategoryByFirstFive(2, second);
    }
    return 0;
}

void ModelTables::BuildIndexes() {
    for (Item& item : items_) {
        item.exact.reserve(item.labels.size());
        for (std::size_t j = 0; j < item.labels.size(); ++j) {
            const std::string& label = item.labels[j];
            // emplace keeps the first: of two equal labels the lower category is found.
            item.exact.emplace(label, static_cast<int>(j + 1));
            item.firstFive.emplace(label.substr(0, Cp932Prefix(label, 5)), static_cast<int>(j + 1));
            if (AllZeroBytes(label)) item.zeroByteLabel = true;
        }
    }
}

ModelTables LoadModelTables(Surface surface, ModelScope scope) {
    ModelTables tables;
    tables.surface_ = surface;
    tables.scope_ = scope;
    auto& items = tables.items_;

    {
        ModelFileReader in(surface, ModelFile::TotalData);
        for (int k = 1; k <= kItemCount; ++k) {
            const double value = in.Number();
            const std::int64_t total = common::CLng(value);
            if (total < 0 || total > kMaxCategories)
                in.Fail("category count " + common::NumberText(value) + " of item " + std::to_string(k) +
                        " outside 0 to 6000");
            items[static_cast<std::size_t>(k)].total = static_cast<int>(total);
        }
        in.End();
    }
    {
        ModelFileReader in(surface, ModelFile::ItemCategory);
        for (int k = 1; k <= kItemCount; ++k) {
            auto& item = items[static_cast<std::size_t>(k)];
            item.labels.reserve(static_cast<std::size_t>(item.total));
            for (int j = 1; j <= item.total; ++j) item.labels.push_back(in.Text());
        }
        in.End();
    }
    if (scope == ModelScope::Weights) {
        // Three readers, even where one file serves all three targets: each reads it from the start.
        ModelFileReader agari(surface, WeightFile(surface, Target::Agari));
        ModelFileReader pace(surface, WeightFile(surface, Target::Pace));
        ModelFileReader soha(surface, WeightFile(surface, Target::Soha));
        for (int k = 1; k <= kItemCount; ++k) {
            auto& item = items[static_cast<std::size_t>(k)];
            for (auto& column : item.weights) column.reserve(static_cast<std::size_t>(item.total));
            for (int j = 1; j <= item.total; ++j) {
                item.weights[0].push_back(agari.Single());
                item.weights[1].push_back(pace.Single());
                item.weights[2].push_back(soha.Single());
            }
        }
        agari.End();
        pace.End();
        soha.End();
        ModelFileReader counts(surface, ModelFile::ItemCategoryCount);
        for (int k = 1; k <= kItemCount; ++k) {
            auto& item = items[static_cast<std::size_t>(k)];
            item.counts.reserve(static_cast<std::size_t>(item.total));
            for (int j = 1; j <= item.total; ++j) {
                const double value = counts.Number();
                const std::int64_t count = common::CLng(value);
                if (count < std::numeric_limits<std::int32_t>::min() || count > std::numeric_limits<std::int32_t>::max())
                    counts.Fail("training count " + common::NumberText(value) + " does not fit 32 bits");
                item.counts.push_back(static_cast<std::int32_t>(count));
            }
        }
        counts.End();
    }
    tables.BuildIndexes();
    return tables;
}

const ModelTables& ModelCache::Labels(Surface surface) {
    const auto s = static_cast<std::size_t>(SurfaceIndex(surface));
    if (weights_[s]) return *weights_[s];
    if (!labels_[s]) labels_[s] = std::make_unique<ModelTables>(LoadModelTables(surface, ModelScope::Labels));
    return *labels_[s];
}

const ModelTables& ModelCache::Weights(Surface surface) {
    const auto s = static_cast<std::size_t>(SurfaceIndex(surface));
    if (!weights_[s]) weights_[s] = std::make_unique<ModelTables>(LoadModelTables(surface, ModelScope::Weights));
    return *weights_[s];
}

void ModelCache::Clear() {
    for (auto& t : labels_) t.reset();
    for (auto& t : weights_) t.reset();
}

}  // namespace engine

#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/record_bytes.h"
#include "engine/model_tables.h"
#include "engine/stats_records.h"
#include "engine/surface.h"
#include "records/week_record_file.h"
#include "support/temp_folder.h"

// Hand-made expanded records and model files for the prediction and computation tests. Records
// are built from bytes at the documented 1-based positions; model files in their written-list form.
namespace predictionfixtures {

// 1-based positions in the 2603-byte expanded record.
inline constexpr int kMakeDate = 4, kYear = 12, kJyoCD = 20, kKettoNum = 31, kIJyoCD = 1049, kTime = 1056,
                     kHaronTimeL3 = 1108, kKyori = 1138, kTrackCD = 1146, kSpeedText = 1710,
                     kCategoryIndex = 2026, kFloats = 2150, kCrLf = 2602;
inline constexpr int kItemAt[31] = {0,    1850, 1859, 1870, 1879, 1883, 1888, 1894, 1899, 1903, 1906,
                                    1909, 1913, 1916, 1922, 1928, 1934, 1938, 1942, 1948, 1953,
                                    1963, 1973, 1978, 1988, 1994, 1998, 2002, 2010, 2016, 2022};
inline constexpr int kItemWidth[31] = {0, 9, 11, 9, 4, 5, 6, 5, 4, 3, 3, 4, 3, 6, 6, 6,
                                       4, 4, 6, 5, 10, 10, 5, 10, 6, 4, 4, 8, 6, 6, 4};

using testsupport::At;
using testsupport::Put;
inline std::string Padded(std::string_view text, int width) {
    std::string s(text.substr(0, static_cast<std::size_t>(width)));
    s.resize(static_cast<std::size_t>(width), ' ');
    return s;
}

// Speed text i, label field of item k, category index k, float element i.
inline int SpeedAt(int i) { return kSpeedText + 7 * i; }
inline int IndexAt(int k) { return kCategoryIndex + 4 * k; }
inline int FloatAt(int i) { return kFloats + 4 * i; }

inline void PutFloat(std::string& record, int element, float value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);  // the machine is little-endian, as the file
    Put(record, FloatAt(element), std::string_view(bytes, 4));
}
inline float FloatOf(const std::string& record, int element) {
    float value = 0;
    std::memcpy(&value, record.data() + FloatAt(element) - 1, 4);
    return value;
}
inline void PutLabel(std::string& record, int item, std::string_view label) {
    Put(record, kItemAt[item], Padded(label, kItemWidth[item]));
}

/// A run as the builder writes it: blanks in the text part, zero bytes where the prediction
/// writes (speed texts, labels, indices, floats), CR LF at the end.
struct Run {
    std::string date = "20190512";  // Year & MonthDay
    std::string jyo = "05";
    std::string track = "11";
    std::string kyori = "1600";
    std::string time = "1345";
    std::string l3 = "345";
    std::string kettoNum = "2016100001";
};

inline std::string RecordOf(const Run& run) {
    std::string r(2603, ' ');
    std::memset(r.data() + kSpeedText - 1, 0, 2601 - kSpeedText + 1);
    Put(r, 1, "SE7");
    Put(r, kMakeDate, run.date);
    Put(r, kYear, run.date);
    Put(r, kJyoCD, run.jyo);
    Put(r, kKettoNum, run.kettoNum);
    Put(r, kIJyoCD, "0");
    Put(r, kTime, run.time);
    Put(r, kHaronTimeL3, run.l3);
    Put(r, kKyori, run.kyori);
    Put(r, kTrackCD, run.track);
    Put(r, kCrLf, "\r\n");
    return r;
}

/// One category of an item's model: label (blank-filled to the item's width by the writer),
/// training count and the three weights.
struct Category {
    std::string label;
    std::int32_t count = 1;
    float agari = 0, pace = 0, soha = 0;
};
using ModelItems = std::map<int, std::vector<Category>>;

inline std::string Num(float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    return buffer;
}

/// Writes the model files of a surface; items not named have no categories. The hurdle model has
/// only its Soha weights, which serve all three targets.
inline void WriteModel(const testsupport::TempAppFolder& dir, engine::Surface surface, const ModelItems& items) {
    std::string totals, labels, counts, agari, pace, soha;
    for (int k = 1; k <= 30; ++k) {
        const auto found = items.find(k);
        const std::size_t n = found == items.end() ? 0 : found->second.size();
        totals += std::to_string(n) + (k % 10 == 0 ? "\r\n" : ",");
        if (!n) continue;
        for (const Category& c : found->second) {
            labels += "\"" + Padded(c.label, kItemWidth[k]) + "\"\r\n";
            counts += std::to_string(c.count) + "\r\n";
            agari += Num(c.agari) + "\r\n";
            pace += Num(c.pace) + "\r\n";
            soha += Num(c.soha) + "\r\n";
        }
    }
    using engine::ModelFile;
    auto put = [&](ModelFile f, const std::string& content) {
        dir.Write("OPTION1N/" + engine::ModelFileName(surface, f), content);
    };
    put(ModelFile::TotalData, totals);
    put(ModelFile::ItemCategory, labels);
    put(ModelFile::ItemCategoryCount, counts);
    put(ModelFile::SohaWeightData, soha);
    if (surface != engine::Surface::Shog) {
        put(ModelFile::AgariWeightData, agari);
        put(ModelFile::PaceWeightData, pace);
    }
}

/// The supplied statistics that the computation reads as they stand (OPTION1N), each name with its
/// record length.
inline const std::vector<std::pair<std::string, std::size_t>> kSuppliedStatistics = {
    {"CHOKYOSEISEI.dat", engine::PersonStats::kLength},
    {"STALLION.dat", engine::SireDamStats::kLength},
    {"MARE.dat", engine::SireDamStats::kLength},
    {"KISHUSEISEI.dat", engine::PersonStats::kLength},
    {"HNSKOPTION1N.dat", engine::DamFoalRecord::kLength},
    {"KS20190101NEW.dat", static_cast<std::size_t>(records::WeekFileKS::kRecordLength)},
};

/// Each of them with one record of a key no fixture looks up: there, but changing no value.
inline void WriteSuppliedStatistics(const testsupport::TempAppFolder& dir) {
    for (const auto& [name, length] : kSuppliedStatistics) {
        std::string record(length, ' ');
        Put(record, 1, "0000000001");
        // The jockey statistics are stored KS records: their kind opens them.
        if (name.starts_with("KS")) Put(record, 1, "KS");
        Put(record, static_cast<int>(length) - 1, "\r\n");
        dir.Write("OPTION1N/" + name, record);
    }
}

/// The week's horse and race files, each with one record of no key: there, as the computation
/// needs them, but joining no value into a run.
inline void WriteWeekTables(const testsupport::TempAppFolder& dir) {
    const auto blank = [](std::string_view kind, std::size_t length) {
        return std::string(kind) + std::string(length - 4, ' ') + "\r\n";
    };
    dir.Write("UMTHISWEEKNNEW.dat", blank("UM", static_cast<std::size_t>(records::kLength<records::LayoutUM>)));
    dir.Write("RATHISWEEKNNEW.dat", blank("RA", static_cast<std::size_t>(records::kLength<records::LayoutRA>)));
}

}  // namespace predictionfixtures

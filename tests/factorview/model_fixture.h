#pragma once

#include <array>
#include <string>
#include <vector>

#include "support/temp_folder.h"

// A model of one surface written as the supplied files are: OPTION1N/, the counts file, the
// label file (quoted labels, CP932 bytes), the training counts and the weight files, one value a
// line, items one after the other. The hurdle model has only its Soha weight file.
namespace factorviewtest {

struct Category {
    std::string label;  // CP932 bytes
    std::string agari = "0", pace = "0", soha = "0";
    std::string count = "1";
};

enum class FixtureSurface { Siba, Dirt, Shog };

struct FixtureModel {
    FixtureSurface surface = FixtureSurface::Siba;
    std::array<std::vector<Category>, 31> items;  // [k], k = 1 to 30; [0] unused
};

inline std::string Word(FixtureSurface s) {
    return s == FixtureSurface::Siba ? "Siba" : s == FixtureSurface::Dirt ? "Dirt" : "Shog";
}

inline void WriteModel(const testsupport::TempAppFolder& folder, const FixtureModel& model) {
    const std::string s = Word(model.surface);
    std::string total, labels, counts, agari, pace, soha;
    for (int k = 1; k <= 30; ++k) {
        const auto& item = model.items[static_cast<std::size_t>(k)];
        total += std::to_string(item.size()) + "\r\n";
        for (const Category& c : item) {
            labels += "\"" + c.label + "\"\r\n";
            counts += c.count + "\r\n";
            agari += c.agari + "\r\n";
            pace += c.pace + "\r\n";
            soha += c.soha + "\r\n";
        }
    }
    const std::string dir = "OPTION1N/";
    folder.Write(dir + "QA1" + s + "TotalData201901N2025.dat", total);
    folder.Write(dir + s + "ItemCategory201901N2025.dat", labels);
    folder.Write(dir + s + "ItemCategoryCount201901N2025.dat", counts);
    folder.Write(dir + "QA1" + s + "SohaWeightData201901N2025.dat", soha);
    if (model.surface != FixtureSurface::Shog) {
        folder.Write(dir + "QA1" + s + "AgariWeightData201901N2025.dat", agari);
        folder.Write(dir + "QA1" + s + "PaceWeightData201901N2025.dat", pace);
    }
}

/// Age labels of item 12: sex digit and two-digit age code.
inline std::string AgeLabel(int sex, int age) { return std::to_string(sex) + std::to_string(age); }

/// Item 12 laid out as the windows expect it: turf and dirt male 27 to 59 as categories 1 to 33,
/// female as 34 to 66; hurdle male 40 to 59 as 1 to 20, thirteen third-sex labels as 21 to 33,
/// female 40 to 59 as 34 to 53. Every weight is the category's number in hundredths (Agari), plus
/// one (Pace), plus two (Soha; hurdle: the hundredths alone), so that a point names the category
/// it comes from.
inline std::vector<Category> DesignedAgeLayout(bool hurdle) {
    std::vector<Category> ages;
    auto add = [&](const std::string& label) {
        const int j = static_cast<int>(ages.size()) + 1;
        const std::string hundredths = std::to_string(j / 100) + "." + std::to_string(100 + j % 100).substr(1);
        if (hurdle)
            ages.push_back({label, "", "", hundredths, std::to_string(j)});
        else
            ages.push_back({label, hundredths, "1" + hundredths.substr(1), "2" + hundredths.substr(1), std::to_string(j)});
    };
    if (hurdle) {
        for (int a = 40; a <= 59; ++a) add(AgeLabel(1, a));
        for (int a = 41; a <= 52; ++a) add(AgeLabel(3, a));
        add("399");
        for (int a = 40; a <= 59; ++a) add(AgeLabel(2, a));
    } else {
        for (int a = 27; a <= 59; ++a) add(AgeLabel(1, a));
        for (int a = 27; a <= 59; ++a) add(AgeLabel(2, a));
    }
    return ages;
}

}  // namespace factorviewtest

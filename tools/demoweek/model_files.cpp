#include "model_files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/numbers.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "engine/measured_speed.h"
#include "engine/model_item_helpers.h"
#include "engine/surface.h"
#include "rng.h"

namespace demoweek {

namespace {

using engine::kItemCount;
constexpr int kSiba = engine::SurfaceIndex(engine::Surface::Siba);
constexpr int kDirt = engine::SurfaceIndex(engine::Surface::Dirt);
constexpr int kShog = engine::SurfaceIndex(engine::Surface::Shog);

void Usual(ModelData& m, int surface, int item, const std::string& label) {
    m.items[static_cast<std::size_t>(surface)][static_cast<std::size_t>(item - 1)].try_emplace(engine::FitLabel(item, label));
}

// A measured speed in its stored unit, 1/100000 km/h; 0 when there is none.
std::int64_t Stored(const std::string& text) { return static_cast<std::int64_t>(common::Val(text)); }

constexpr double kStoredPerKmh = 100000.0;

std::string Two(int v) { return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10); }

// A small correction of its own for each label, the same on every run of the generator.
double Jitter(std::uint64_t seed, int surface, int item, const std::string& label, int target) {
    std::uint64_t h = 1469598103934665603ULL ^ static_cast<std::uint64_t>(surface * 131 + item * 7 + target);
    for (unsigned char c : label) h = (h ^ c) * 1099511628211ULL;
    Rng rng(seed ^ h);
    return rng.Normal();
}

}  // namespace

void AddRun(ModelData& model, const engine::ExRecord& run, std::span<const engine::ItemLabelFailure> failures) {
    const auto surface = engine::SurfaceOfTrack(engine::FieldOf(run, engine::ex::TrackCD));
    if (!surface) return;
    // The measured speeds the computation gives the run.
    const std::int64_t agari = Stored(engine::AgariSpeed(run)), pace = Stored(engine::PaceSpeed(run)),
                       soha = Stored(engine::SohaSpeed(run));
    const bool timed = agari > 0 && pace > 0 && soha > 0;
    std::array<bool, kItemCount + 1> failed{};
    for (const engine::ItemLabelFailure& f : failures)
        if (f.item >= 1 && f.item <= kItemCount) failed[static_cast<std::size_t>(f.item)] = true;
    auto& items = model.items[static_cast<std::size_t>(engine::SurfaceIndex(*surface))];
    for (int k = 1; k <= kItemCount; ++k) {
        if (failed[static_cast<std::size_t>(k)]) continue;
        LabelTally& tally = items[static_cast<std::size_t>(k - 1)][std::string(run.ItemLabel(k))];
        ++tally.runs;
        if (timed) {
            ++tally.timed;
            tally.agari += agari;
            tally.pace += pace;
            tally.soha += soha;
        }
    }
}

void Merge(ModelData& model, const ModelData& part) {
    for (std::size_t s = 0; s < model.items.size(); ++s)
        for (std::size_t k = 0; k < model.items[s].size(); ++k)
            for (const auto& [label, t] : part.items[s][k]) {
                LabelTally& sum = model.items[s][k][label];
                sum.runs += t.runs;
                sum.timed += t.timed;
                sum.agari += t.agari;
                sum.pace += t.pace;
                sum.soha += t.soha;
            }
}

void AddUsualLabels(ModelData& m, const World& world) {
    const int lastYear = world.saturday.Year();
    for (int s = 0; s < 3; ++s) {
        for (int y = 2016; y <= lastYear; ++y)
            for (int mo = 1; mo <= 12; ++mo)
                if (y < lastYear || mo <= world.saturday.Month()) Usual(m, s, 1, std::to_string(y) + Two(mo));
        for (int w = 48; w <= 60; ++w) Usual(m, s, 4, std::to_string(w));
        Usual(m, s, 5, "00");
        for (int n = 3; n <= 66; ++n) Usual(m, s, 5, std::to_string(n));
        for (int n = 11; n <= 19; ++n) Usual(m, s, 7, std::to_string(n));
        for (int n = 0; n <= 10; ++n) Usual(m, s, 8, std::to_string(n));
        for (int n = 1; n <= 50; ++n) Usual(m, s, 9, std::to_string(1000 + n).substr(1));
        for (int b = 96; b <= 114; b += 2) {
            Usual(m, s, 10, std::to_string(1000 + b).substr(1));
            Usual(m, s, 10, std::to_string(1200 + b).substr(1));
        }
        Usual(m, s, 10, "100");
        Usual(m, s, 11, "50");
        for (int b = 52; b <= 70; ++b) Usual(m, s, 11, std::to_string(b));
        for (int sex = 1; sex <= 3; ++sex)
            for (int mth = 27; mth <= 59; ++mth) Usual(m, s, 12, std::to_string(sex) + Two(mth));
        for (int n = 10; n <= 35; ++n) Usual(m, s, 15, std::to_string(n));
        for (int n = 10; n <= 19; ++n) {
            Usual(m, s, 16, std::to_string(n));
            Usual(m, s, 17, std::to_string(n));
            Usual(m, s, 19, std::to_string(n));
        }
        Usual(m, s, 19, "110");
        for (const char* band : {"20", "23", "28", "33", "38", "43"})
            for (char mi : std::string("0123")) Usual(m, s, 18, std::string("0") + band + mi);
        Usual(m, s, 20, "0");
        for (int n = 25; n <= 46; ++n) Usual(m, s, 20, std::to_string(n));
        for (const char* code : {"703", "701", "005", "010", "016", "999"})
            for (const char* grade : {" ", "A", "B", "C", "E", "L"}) Usual(m, s, 21, std::string(grade) + code);
        Usual(m, s, 23, "10");
        for (int d = 1; d <= 3; ++d)
            for (int b = 1; b <= 9; ++b) Usual(m, s, 23, std::to_string(d * 10 + b));
        for (int n = 1; n <= 99; ++n) Usual(m, s, 26, std::string("00") + Two(n));
        for (int k = 1; k <= 6; ++k)
            for (int n = 1; n <= 12; ++n) Usual(m, s, 27, Two(k) + Two(n));
        for (int w = 1; w <= 4; ++w)
            for (int g = 0; g <= 4; ++g)
                for (int b = 1; b <= 4; ++b) Usual(m, s, 29, std::to_string(w) + std::to_string(g) + Two(b));
        for (int n = 5; n <= 19; ++n) Usual(m, s, 30, std::to_string(n));
        for (int n = 6; n <= 50; ++n) Usual(m, s, 30, Two(n));
        for (int e = 1; e <= 27; ++e) {
            Usual(m, s, 14, "1" + std::to_string(1000 + e * 10).substr(0, 4));
            Usual(m, s, 14, "2" + std::to_string(1000 + e * 10).substr(0, 4));
        }
        Usual(m, s, 14, "21020");
    }
    // Horse numbers and distances by surface.
    for (int u = 1; u <= 18; ++u) {
        Usual(m, kSiba, 24, Two(u) + "1");
        Usual(m, kDirt, 24, Two(u) + "1");
    }
    for (int u = 1; u <= 14; ++u) Usual(m, kShog, 24, Two(u));
    for (int n = 8; n <= 18; ++n) {
        Usual(m, kSiba, 28, Two(n));
        Usual(m, kDirt, 28, Two(n));
    }
    for (int n = 8; n <= 14; ++n) Usual(m, kShog, 28, Two(n));
    for (const char* d : {"2800", "2900", "3500", "4000"}) Usual(m, kShog, 22, d);
    for (const Course& c : Courses())
        for (const Layout& l : c.layouts) {
            if (l.surface == Surface::Hurdle) continue;
            const int s = l.surface == Surface::Turf ? kSiba : kDirt;
            Usual(m, s, 22, std::to_string(l.distance) + l.courseKubun[0]);
        }
}

void WriteModelFiles(const ModelData& model, const World& world, const std::filesystem::path& option1n) {
    for (const engine::Surface surface : engine::kSurfaces) {
        const int s = engine::SurfaceIndex(surface);
        const auto& items = model.items[static_cast<std::size_t>(s)];
        std::string total, labels, counts, agari, pace, soha;
        // Base level: the mean measured speeds of the surface.
        std::int64_t sums[3] = {0, 0, 0};
        int timed = 0;
        for (const auto& [label, t] : items[0]) {
            sums[0] += t.agari;
            sums[1] += t.pace;
            sums[2] += t.soha;
            timed += t.timed;
        }
        static const double kDefault[3][3] = {{62.5, 59.5, 60.5}, {57.2, 58.6, 58.3}, {54.8, 54.8, 54.8}};
        double base[3];
        for (int k = 0; k < 3; ++k) base[k] = timed > 0 ? static_cast<double>(sums[k]) / kStoredPerKmh / timed : kDefault[s][k];
        if (s == kShog) base[0] = base[1] = base[2];  // one weight file serves all three targets
        for (int item = 1; item <= kItemCount; ++item) {
            const auto& cats = items[static_cast<std::size_t>(item - 1)];
            total += std::to_string(cats.size()) + "\r\n";
            for (const auto& [label, t] : cats) {
                labels += common::WrittenFields({label}) + "\r\n";
                const int count = t.runs > 0 ? t.runs * 37 + 3 : 1 + static_cast<int>(std::fabs(Jitter(world.seed, s, item, label, 9)) * 12);
                counts += std::to_string(count) + "\r\n";
                float w[3];
                for (int target = 0; target < 3; ++target) {
                    const std::int64_t sum = target == 0 ? t.agari : target == 1 ? t.pace : t.soha;
                    const double mean = t.timed > 0 ? static_cast<double>(sum) / kStoredPerKmh / t.timed : base[target];
                    const double shift = mean - base[target];
                    const double noise = Jitter(world.seed, s, item, label, s == kShog ? 2 : target);
                    double value;
                    if (item == 1) {
                        value = base[target] + 0.03 * (std::atoi(label.substr(0, 4).c_str()) - 2020) + 0.05 * noise;
                    } else if (item == 22 || item == 29) {
                        value = std::clamp(shift, -8.0, 8.0) + 0.05 * noise;  // distance and going move speeds most
                    } else {
                        value = std::clamp(0.15 * shift + 0.12 * noise, -3.0, 3.0);
                    }
                    w[target] = static_cast<float>(value);
                }
                if (s == kShog) w[0] = w[1] = w[2];
                agari += common::SingleText(w[0]) + "\r\n";
                pace += common::SingleText(w[1]) + "\r\n";
                soha += common::SingleText(w[2]) + "\r\n";
            }
        }
        for (const engine::ModelFile file : engine::ModelFilesOf(surface)) {
            using engine::ModelFile;
            const std::string& content = file == ModelFile::TotalData           ? total
                                         : file == ModelFile::ItemCategory      ? labels
                                         : file == ModelFile::ItemCategoryCount ? counts
                                         : file == ModelFile::AgariWeightData   ? agari
                                         : file == ModelFile::PaceWeightData    ? pace
                                                                                : soha;
            common::WriteFileAtomically(option1n / engine::ModelFileName(surface, file), content);
        }
    }
}

}  // namespace demoweek

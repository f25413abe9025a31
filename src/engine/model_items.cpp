#include "engine/model_items.h"

#include <array>
#include <stdexcept>

namespace engine {

namespace {

using ItemFunction = std::string (*)(const ItemRun&);

constexpr std::array<ItemFunction, 31> kItems = {
    nullptr,
    CalcYearMonth,     CalcCourseWaku,      CalcPrevDistanceClass, CalcFutanjuryo,         CalcRuikeiHonshokin,
    CalcKyosokigo,     CalcKishuFukusho,    CalcKyosobaFukusho,    CalcRaceSuu,            CalcFutanJuryoritu,
    CalcBataiju,       CalcBarei,           CalcFatherValueLog,    CalcRaceKankaku,        CalcZensoOdds,
    CalcFatherBaba,    CalcMotherBaba,      CalcKishuNenrei,       CalcTrainerFukusho,     CalcFatherArning,
    CalcGradeJoken,    CalcKyoriCourse,     CalcFatherKyoriFukusho, CalcUmabanBand,        CalcUmakigoTuki,
    CalcZensoTimediff, CalcKaijiNichiji,    CalcTosuBand,          CalcTenkoBabaJikoku,    CalcKyosobaArning,
};

}  // namespace

std::string ModelItemLabel(int k, const ItemRun& run) {
    if (k < 1 || k > 30) throw std::out_of_range("model item " + std::to_string(k));
    return kItems[static_cast<std::size_t>(k)](run);
}

std::vector<ItemLabelFailure> ComputeItemLabels(ExRecord& current, std::span<const ExRecord> earlier,
                                                const ItemStatistics& stats) {
    std::vector<ItemLabelFailure> failures;
    const ItemRun run{current, earlier, stats};
    for (int k = 1; k <= 30; ++k) {
        // The items read no label, so writing each one as it comes changes nothing for the next.
        try {
            current.SetItemLabel(k, ModelItemLabel(k, run));
        } catch (const ItemFailure& failure) {
            current.SetItemLabel(k, "");
            failures.push_back({k, "item " + std::to_string(k) + " " + std::string(ItemName(k)) + ": " + failure.what()});
        }
    }
    return failures;
}

std::vector<ItemLabelFailure> ComputeItemLabels(std::span<ExRecord> runs, int r, const ItemStatistics& stats) {
    if (r < 1 || static_cast<std::size_t>(r) > runs.size())
        throw std::out_of_range("run " + std::to_string(r) + " of " + std::to_string(runs.size()));
    return ComputeItemLabels(runs[static_cast<std::size_t>(r - 1)], runs.first(static_cast<std::size_t>(r - 1)), stats);
}

}  // namespace engine

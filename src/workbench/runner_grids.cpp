#include "workbench/runner_grids.h"

#include <cmath>
#include <cstddef>
#include <optional>

#include "common/encoding.h"
#include "common/numbers.h"

namespace workbench {

namespace {

namespace qb = common::qb;

// Zero bytes of a field nobody set read as blanks.
std::string Shown(const RaceHorseRecord& r, rh::Ref ref, int element = 0) {
    return common::FromCp932(common::BlankZeros(r.Get(ref, element)));
}

std::string TimeOrEmpty(float speed, std::string_view distance) {
    return common::FormatYosoTime(speed, distance).value_or("");
}

// Colours of the finishing position, the rank and the popularity: 1st to 5th.
std::int8_t PlaceColour(const std::string& text, int places) {
    static constexpr std::array<std::int8_t, 5> kColours = {qb::kLightYellow, qb::kLightCyan, qb::kLightGreen,
                                                            qb::kLightBlue, qb::kLightMagenta};
    static constexpr std::array<std::string_view, 5> kTexts = {"01", "02", "03", "04", "05"};
    for (int i = 0; i < places; ++i)
        if (text == kTexts[static_cast<std::size_t>(i)]) return kColours[static_cast<std::size_t>(i)];
    return qb::kWhite;
}

void ColourPlaces(common::GridCells& g, int h) {
    g.SetColour(h, 1, PlaceColour(g.Text(h, 1), 3));
    g.SetColour(h, 2, PlaceColour(g.Text(h, 2), 5));
    g.SetColour(h, 3, PlaceColour(g.Text(h, 3), 5));
}

// A past run's residual by its course and track: flat turf, flat dirt, jumps; other courses none.
std::int8_t ResidualColour(std::string_view jyoCD, std::string_view trackCD) {
    if (jyoCD < "01" || jyoCD > "10") return qb::kWhite;
    if (trackCD >= "00" && trackCD <= "22") return qb::kLightGreen;
    if (trackCD >= "23" && trackCD <= "29") return qb::kLightYellow;
    if (trackCD >= "30" && trackCD <= "59") return qb::kLightCyan;
    return qb::kWhite;
}

// Measured minus predicted speed of run `element`. Only the newest runs of a horse are measured
// and a run without a surface has no prediction: there the stored difference is no residual (0
// minus the prediction reads like a run 58 km/h too slow), and the cell stays empty.
std::string ResidualText(const RaceHorseRecord& r, int element) {
    const float measured = r.Float(rh::SpeedValue, element, speed_block::kMeasuredSoha);
    const float combined = r.Float(rh::SpeedValue, element, speed_block::kCombinedSoha);
    if (measured == 0.0f || combined == 0.0f || !std::isfinite(measured) || !std::isfinite(combined)) return "";
    return common::WeightText(r.Float(rh::SpeedValue, element, speed_block::kResidual));
}

void FactorWidths(common::GridCells& g) {
    for (int c = 1; c <= 5; ++c) g.SetColWidth(c, 500);
    for (int c = 6; c <= 22; ++c) g.SetColWidth(c, 1000);
    g.SetColWidth(5, 1700);
    g.SetColWidth(6, 2500);
    g.SetColWidth(15, 1700);
    g.SetColWidth(21, 1700);
}

void ResidualWidths(common::GridCells& g) {
    for (int c = 1; c <= 3; ++c) g.SetColWidth(c, 500);
    for (int c = 4; c < kResidualGridCols; ++c) g.SetColWidth(c, 1000);
    g.SetColWidth(5, 1700);
}

void FactorCaptions(common::GridCells& g) {
    static constexpr std::array<std::string_view, 25> kCaptions = {
        "",       "入線",           "予想順位",       "単勝人気",         "予想人気",
        "単勝オッズ", "馬名",           "信頼度",         "実タイム",         "実上3Fタイム",
        "合成タイム", "予上3Fタイム",     "予ペ-スタイム",    "騎手",           "騎手上がり時速",
        "騎手ペース時速", "父馬",         "父馬上がり時速",    "父馬ペース時速",     "調教師",
        "調教師上がり時速", "調教師ペース時速", "母父馬",         "母父馬上がり時速",   "母父馬ペース時速"};
    for (int c = 1; c < kFactorGridCols; ++c) g.SetText(0, c, std::string(kCaptions[static_cast<std::size_t>(c)]));
}

void ResidualCaptions(common::GridCells& g) {
    static constexpr std::array<std::string_view, 11> kCaptions = {
        "", "入線", "予想順位", "単勝人気", "人気-予想", "馬名", "推定時速", "推定タイム", "合成タイム",
        "実-合成(時速）", "残差平均（時速）"};
    for (int c = 1; c <= 10; ++c) g.SetText(0, c, std::string(kCaptions[static_cast<std::size_t>(c)]));
    for (int k = 0; k < kRunElements; ++k) g.SetText(0, 11 + k, "前" + common::NumberText(k) + "残差");
}

// The seconds a predicted 3-furlong speed gives for 600 m, "ss.hh".
std::string ThreeFurlongText(float agari) {
    if (agari == 0.0f) return "";
    const float hundredths = static_cast<float>(std::floor(2160.0f / agari * 100.0f));
    if (!std::isfinite(hundredths)) return "";
    const std::string t = common::SingleText(hundredths);
    return t.substr(0, 2) + "." + (t.size() > 2 ? t.substr(2, 2) : "");
}

std::string ActualTimeText(const std::string& soha) {
    // Minutes, seconds and tenths of the stored time, as a time of hundredths.
    if (soha.size() < 4) return "";
    return soha.substr(0, 1) + "." + soha.substr(1, 2) + "." + soha.substr(3, 1) + "0";
}

struct RowValues {
    std::string Horse, Race, Nyusen, Rank, Ninki, Name;
    std::optional<double> R;
    Grades Grade;
};

void FillFactorRow(common::GridCells& g, int h, const RaceHorseRecord& r, const RowValues& v) {
    g.SetText(h, 0, v.Horse);
    g.SetText(h, 1, v.Nyusen);
    g.SetText(h, 2, v.Rank);
    g.SetText(h, 3, v.Ninki);
    if (v.R) {
        const double diff = common::Val(v.Ninki) - *v.R;
        g.SetText(h, 4, common::NumberText(diff));
        g.SetColour(h, 4, diff >= 4 ? qb::kLightYellow : diff <= -7 ? qb::kLightRed : qb::kWhite);
    }
    g.SetText(h, 5, common::NumberText(common::Val(Shown(r, rh::TanOdds)) * 0.1));
    g.SetText(h, 6, v.Name);
    const Grades& gr = v.Grade;
    g.SetText(h, 7, "騎" + gr[0] + "・調" + gr[1] + "・父父" + gr[2] + "・母父" + gr[3] + "・生" + gr[4]);
    g.SetText(h, 8, ActualTimeText(Shown(r, rh::SohaTime)));
    if (const auto l3 = common::StrictNumber(Shown(r, rh::HaronTimeL3))) g.SetText(h, 9, common::NumberText(*l3 * 0.1));
    const std::string kyori = Shown(r, rh::Kyori);
    g.SetText(h, 10, TimeOrEmpty(r.Float(rh::SpeedValue, 0, speed_block::kCombinedSoha), kyori));
    g.SetText(h, 11, ThreeFurlongText(r.Float(rh::SpeedValue, 0, speed_block::kPredictedAgari)));
    if (const auto metres = common::StrictNumber(kyori))
        g.SetText(h, 12, TimeOrEmpty(r.Float(rh::SpeedValue, 0, speed_block::kPredictedPace),
                                     common::NumberText(static_cast<std::int64_t>(std::trunc(*metres)) - 600)));
    // Jockey, sire, trainer, dam's sire: the name, then the Agari and Pace weights of its model item.
    struct Person {
        int col;
        rh::Ref name;
        int item;
    };
    static constexpr std::array<Person, 4> kPeople = {Person{13, rh::KisyuRyakusyo, 6}, Person{16, rh::ChichiName, 23},
                                                      Person{19, rh::ChokyosiRyakusyo, 19}, Person{22, rh::Name36, 21}};
    for (const Person& p : kPeople) {
        g.SetText(h, p.col, Shown(r, p.name));
        g.SetText(h, p.col + 1, common::WeightText(r.Float(rh::AgariValue, 0, p.item)));
        g.SetText(h, p.col + 2, common::WeightText(r.Float(rh::PaceValue, 0, p.item)));
    }
    ColourPlaces(g, h);
}

void FillResidualRow(common::GridCells& g, int h, const RaceHorseRecord& r, const RowValues& v) {
    g.SetText(h, 0, v.Horse);
    g.SetText(h, 1, v.Nyusen);
    g.SetText(h, 2, v.Rank);
    g.SetText(h, 3, v.Ninki);
    if (v.Ninki == "--" || v.Ninki == "**")
        g.SetText(h, 4, v.Ninki);
    else if (v.R)
        g.SetText(h, 4, common::NumberText(common::Val(v.Ninki) - *v.R));
    g.SetText(h, 5, v.Name);
    const float combined = r.Float(rh::SpeedValue, 0, speed_block::kCombinedSoha);
    const float correction = r.Float(rh::Correction);
    const float estimated = combined + correction;
    const std::string kyori = Shown(r, rh::Kyori);
    g.SetText(h, 6, common::WeightText(estimated));
    g.SetText(h, 7, TimeOrEmpty(estimated, kyori));
    g.SetText(h, 8, TimeOrEmpty(combined, kyori));
    g.SetText(h, 9, ResidualText(r, 0));
    g.SetText(h, 10, common::WeightText(correction));
    ColourPlaces(g, h);
    for (int k = 0; k < kRunElements; ++k) {
        g.SetText(h, 11 + k, ResidualText(r, k));
        g.SetColour(h, 11 + k, ResidualColour(Shown(r, rh::JyoCD, k), Shown(r, rh::TrackCD, k)));
    }
}

// The chart row a cell names: "00" stands for row 1; a text that is no rank names none.
std::optional<int> ChartRow(const std::string& text, int rows) {
    if (text == "00") return 1;
    const auto n = common::StrictNumber(text);
    if (!n || *n != std::floor(*n) || *n < 1 || *n > rows) return std::nullopt;
    return static_cast<int>(*n);
}

}  // namespace

RunnerChart ChartOfRunners(const common::GridCells& factors, int runnerCount) {
    RunnerChart chart;
    const auto n = static_cast<std::size_t>(runnerCount > 0 ? runnerCount : 0);
    chart.Predicted.assign(n, 0.0);
    chart.Popular.assign(n, 0.0);
    chart.Labels.assign(n, {});
    for (int i = 1; i <= runnerCount; ++i) {
        const double odds = common::Val(factors.Text(i, 5));
        if (const auto row = ChartRow(factors.Text(i, 2), runnerCount))
            chart.Predicted[static_cast<std::size_t>(*row - 1)] = odds;
        const std::string& ninki = factors.Text(i, 3);
        if (ninki == "--") continue;
        if (const auto row = ninki == "**" ? std::optional<int>(1) : ChartRow(ninki, runnerCount))
            chart.Popular[static_cast<std::size_t>(*row - 1)] = odds;
    }
    // The later runner of a shared rank labels its row.
    for (int j = 1; j <= runnerCount; ++j) {
        const auto rank = common::StrictNumber(factors.Text(j, 2));
        if (!rank || *rank != std::floor(*rank) || *rank < 1 || *rank > runnerCount) continue;
        const int i = static_cast<int>(*rank);
        chart.Labels[static_cast<std::size_t>(i - 1)] = {common::RightChars(factors.Text(j, 0), 2), factors.Text(j, 1),
                                                         common::NumberText(i)};
    }
    return chart;
}

void FillRunnerGrids(std::string_view raceKey12, const std::vector<RaceHorseRecord>& runners,
                     const std::array<std::string, 19>& yosoRank, RunnerGrids& grids) {
    common::GridCells& g1 = grids.RACEDETAILGrid1;
    common::GridCells& g2 = grids.RACEDETAILGrid2;
    FactorWidths(g1);
    for (int h = 1; h < kRunnerGridRows; ++h) {
        g1.SetText(h, 0, "");
        g2.SetText(h, 0, "");
        for (int c = 1; c < kFactorGridCols; ++c) {
            g1.SetText(h, c, "");
            g1.SetColour(h, c, qb::kWhite);
        }
        for (int c = 1; c < kResidualGridCols; ++c) {
            g2.SetText(h, c, "");
            g2.SetColour(h, c, qb::kWhite);
        }
    }
    g1.SetText(0, 0, std::string(raceKey12));
    g2.SetText(0, 0, std::string(raceKey12));
    const int runnerCount = static_cast<int>(runners.size());
    grids.ShinraidoGrade.assign(runners.size() + 1, Grades{});
    for (int h = 1; h <= runnerCount && h < kRunnerGridRows; ++h) {
        const RaceHorseRecord& r = runners[static_cast<std::size_t>(h - 1)];
        FactorCaptions(g1);
        ResidualWidths(g2);
        ResidualCaptions(g2);
        // A horse number without a runner has no fields to show.
        if (r.IsBlank()) continue;
        RowValues v;
        v.Horse = Shown(r, rh::Wakuban) + "    " + Shown(r, rh::Umaban);
        v.Race = Shown(r, rh::Year) + Shown(r, rh::MonthDay) + Shown(r, rh::JyoCD) + Shown(r, rh::RaceNum);
        v.Nyusen = Shown(r, rh::NyusenJyuni);
        v.R = common::StrictNumber(yosoRank[static_cast<std::size_t>(h)]);
        if (v.R) v.Rank = common::TwoDigits(static_cast<std::int64_t>(*v.R));
        v.Ninki = Shown(r, rh::Ninki);
        v.Name = common::LeftChars(Shown(r, rh::Bamei), 18) + Shown(r, rh::KettoNum) + "EX.dat";
        std::array<std::string, 5> counts;
        for (int k = 0; k < 5; ++k) counts[static_cast<std::size_t>(k)] = Shown(r, rh::SampleCounts, k);
        v.Grade = GradeShinraido(counts, Shown(r, rh::TrackCD));
        grids.ShinraidoGrade[static_cast<std::size_t>(h)] = v.Grade;
        g1.SetText(0, 0, v.Race);
        g2.SetText(0, 0, v.Race);
        FillFactorRow(g1, h, r, v);
        FillResidualRow(g2, h, r, v);
    }
    grids.YNjunMSChart = ChartOfRunners(g1, runnerCount < kRunnerGridRows ? runnerCount : kRunnerGridRows - 1);
}

}  // namespace workbench

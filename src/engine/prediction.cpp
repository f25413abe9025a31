#include "engine/prediction.h"

#include <cmath>
#include <exception>
#include <optional>
#include <stdexcept>

#include "acquisition/run_files.h"
#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "engine/ex_builder.h"
#include "engine/measured_speed.h"

namespace engine {

namespace {

constexpr std::string_view kBlankSpeed = "       ";
/// Item weights of a larger size are taken to be badly estimated and left out of the sums; item 1
/// carries the base level and is always summed.
constexpr float kWeightLimit = 20.0f;
/// Runs before this date get no measured speeds and labels.
constexpr double kFirstLabelledDate = 20160101;
/// The training counts kept in the speed texts: items 6, 18, 19, 20 and 21.
constexpr std::array<std::pair<int, int>, 5> kCountedItems{
    {{6, speed_text::kCountItem6}, {18, speed_text::kCountItem18}, {19, speed_text::kCountItem19},
     {20, speed_text::kCountItem20}, {21, speed_text::kCountItem21}}};

constexpr auto kCategoryIndexRef = ex::At("CategoryIndex");
constexpr auto kSpeedTextRef = ex::At("SpeedText");
constexpr auto kExFloatsRef = ex::At("ExFloats");
constexpr auto kItemLabelsRef = ex::At("ExItems");

bool DateTestPasses(const ExRecord& r) {
    const std::string_view year = r.Get(ex::Year), monthDay = r.Get(ex::MonthDay);
    // A date of eight digits, as nearly every run has, is its own number.
    static_assert(ex::MonthDay.width == 4);
    if (const auto y = common::DigitsValue(year), md = common::DigitsValue(monthDay); y && md)
        return static_cast<double>(*y * 10000 + *md) >= kFirstLabelledDate;
    const std::string date = common::BlankZeros(year) + common::BlankZeros(monthDay);
    return common::Val(date) >= kFirstLabelledDate;
}

// A home racecourse: "01" to "10".
bool CourseTestPasses(const ExRecord& r) {
    const std::string_view jyo = r.Get(ex::JyoCD);
    return jyo >= "01" && jyo <= "10";
}

bool FlatOrHurdleTrack(const ExRecord& r) {
    const std::string_view track = r.Get(ex::TrackCD);
    return track >= "10" && track <= "59";
}

void BlankSpeedsAndLabels(ExRecord& r) {
    for (int i = speed_text::kMeasuredAgari; i <= speed_text::kMeasuredSoha; ++i) r.SetSpeedText(i, kBlankSpeed);
    for (int k = 1; k <= kItemCount; ++k) r.SetItemLabel(k, "");
}

// Every field the prediction writes back to zero bytes, as the builder left it.
void ClearPredictionFields(ExRecord& r) {
    for (int i = 0; i <= speed_text::kCountItem21; ++i) r.Clear(ex::At("SpeedText"), i);
    for (int k = 1; k <= kItemCount; ++k) {
        r.Clear(ex::ItemLabel[static_cast<std::size_t>(k)]);
        r.Clear(kCategoryIndexRef, k);
        r.SetAgariFW(k, 0.0f);
        r.SetPaceFW(k, 0.0f);
        r.SetSohaFW(k, 0.0f);
    }
    for (int i = ex_float::kMeasuredAgari; i <= ex_float::kSohaBetweenAgariPace; ++i) r.SetFloat(i, 0.0f);
}

// Pass 1 of one of the newest runs: measured speeds, then the thirty labels.
void MeasureAndLabel(std::span<ExRecord> runs, int r, const PredictionModel& model, std::string_view kettoNum,
                     HorsePrediction& out) {
    ExRecord& current = runs[static_cast<std::size_t>(r - 1)];
    if (!CourseTestPasses(current) || !FlatOrHurdleTrack(current)) {
        BlankSpeedsAndLabels(current);
        return;
    }
    // Computed before any is stored, so that a failing one leaves the record as it was.
    std::string agari = AgariSpeed(current), pace = PaceSpeed(current), soha = SohaSpeed(current);
    current.SetSpeedText(speed_text::kMeasuredAgari, agari);
    current.SetSpeedText(speed_text::kMeasuredPace, pace);
    current.SetSpeedText(speed_text::kMeasuredSoha, soha);
    for (const ItemLabelFailure& f : ComputeItemLabels(runs, r, model.Statistics())) {
        ++out.itemLabelsBlanked;
        out.failures.push_back(std::string(kettoNum) + " record " + std::to_string(r) + ": blank label, " + f.reason);
    }
}

// Pass 2: the category of each label in the surface's model.
std::array<int, kItemCount + 1> MapItemCategories(const ModelTables& tables, ExRecord& r) {
    std::array<int, kItemCount + 1> c{};
    for (int k = 1; k <= kItemCount; ++k) {
        c[static_cast<std::size_t>(k)] = tables.FindCategoryIndex(k, r.ItemLabel(k));
        r.SetCategoryIndex(k, common::NumberText(c[static_cast<std::size_t>(k)]));
    }
    return c;
}

// Item 1's weight row: category 0 (a label the model lacks) and categories without training
// runs weigh as category 1.
int ItemOneRow(const ModelTables& tables, int j) {
    if (j == 0) return 1;
    if (j <= tables.TotalData(1) && tables.Count(j, 1) == 0) return 1;
    return j;
}

// The measured speed of a speed text: its leading number / 100000 (blank or unset gives 0).
float MeasuredFromText(std::string_view text) {
    if (text.find_first_not_of('\0') == std::string_view::npos) return 0.0f;  // never written, as on most runs
    const auto digits = common::DigitsValue(text);
    const double value = digits ? static_cast<double>(*digits) : common::Val(common::BlankZeros(text));
    return static_cast<float>(value / 100000.0);
}

// Pass 3, the part the categories alone decide: the training counts, the item weights and their sums.
WeightSums WeighItems(const ModelTables& tables, const std::array<int, kItemCount + 1>& c, ExRecord& r) {
    for (const auto& [item, element] : kCountedItems)
        r.SetSpeedText(element, TrainingCountText(tables.Count(c[static_cast<std::size_t>(item)], item)));

    WeightSums sums;
    for (int k = 1; k <= kItemCount; ++k) {
        int j = c[static_cast<std::size_t>(k)];
        if (k == 1) j = ItemOneRow(tables, j);
        const float wa = tables.Agari(j, k), wp = tables.Pace(j, k), ws = tables.Soha(j, k);
        if (k == 1 || std::fabs(wa) <= kWeightLimit) sums.agari += wa;
        if (k == 1 || std::fabs(wp) <= kWeightLimit) sums.pace += wp;
        if (k == 1 || std::fabs(ws) <= kWeightLimit) sums.soha += ws;
        r.SetAgariFW(k, wa);
        r.SetPaceFW(k, wp);
        r.SetSohaFW(k, ws);
    }
    return sums;
}

// The rest of pass 3: the predicted speeds and what follows from them, the run's distance and its
// measured speeds.
void DeriveSpeeds(const WeightSums& sums, ExRecord& r) {
    const float kyori = KyoriOf(r);
    const float agari = sums.agari, pace = sums.pace, soha = sums.soha;
    r.SetSpeedText(speed_text::kPredictedAgari, SpeedText(agari));
    r.SetSpeedText(speed_text::kPredictedPace, SpeedText(pace));
    r.SetSpeedText(speed_text::kPredictedSoha, SpeedText(soha));

    const float mAgari = MeasuredFromText(r.SpeedText(speed_text::kMeasuredAgari));
    const float mPace = MeasuredFromText(r.SpeedText(speed_text::kMeasuredPace));
    const float mSoha = MeasuredFromText(r.SpeedText(speed_text::kMeasuredSoha));
    const float combined = CombinedSoha(kyori, agari, pace);
    r.SetFloat(ex_float::kMeasuredAgari, mAgari);
    r.SetFloat(ex_float::kMeasuredPace, mPace);
    r.SetFloat(ex_float::kMeasuredSoha, mSoha);
    r.SetFloat(ex_float::kPredictedAgari, agari);
    r.SetFloat(ex_float::kPredictedPace, pace);
    r.SetFloat(ex_float::kPredictedSoha, soha);
    r.SetFloat(ex_float::kCombinedSoha, combined);
    r.SetFloat(ex_float::kMeasuredSohaMinusCombined, mSoha - combined);
    r.SetFloat(ex_float::kPredictedSohaMinusCombined, soha - combined);
    r.SetFloat(ex_float::kAgariMeasuredMinusPredicted, mAgari - agari);
    r.SetFloat(ex_float::kPaceMeasuredMinusPredicted, mPace - pace);
    r.SetFloat(ex_float::kSohaMeasuredMinusPredicted, mSoha - soha);
    const float spread = pace - agari;
    r.SetFloat(ex_float::kSohaBetweenAgariPace, spread == 0.0f ? 0.0f : (mSoha - agari) * 100.0f / spread);
}

// The fields that pass 2 and WeighItems fill: the category indices, the training counts and the
// item weights.
void CopyWeighing(const ExRecord& from, ExRecord& to) {
    to.CopyElements(from, kCategoryIndexRef, 1, kItemCount);
    to.CopyElements(from, kSpeedTextRef, speed_text::kCountItem6, speed_text::kCountItem21);
    for (int first : {ex_float::kAgariFW, ex_float::kPaceFW, ex_float::kSohaFW})
        to.CopyElements(from, kExFloatsRef, first + 1, first + kItemCount);
}

// Labels never written: all but a horse's newest four runs have them.
bool LabelsUnset(const ExRecord& r) {
    static constexpr char kUnset[kItemLabelsRef.width] = {};
    return r.Get(kItemLabelsRef) == std::string_view(kUnset, sizeof kUnset);
}

// A run that the model does not cover: no indices, no counts, no item weights; the floats from
// 93 on and the predicted speed texts stay as they are.
void LeaveUnpredicted(ExRecord& r) {
    for (int k = 1; k <= kItemCount; ++k) {
        r.SetCategoryIndex(k, "");
        r.SetAgariFW(k, 0.0f);
        r.SetPaceFW(k, 0.0f);
        r.SetSohaFW(k, 0.0f);
    }
    for (int i = speed_text::kCountItem6; i <= speed_text::kCountItem20; ++i) r.SetSpeedText(i, kBlankSpeed);
}

// Passes 2 and 3 of one run. Each reads and writes only its own record, so running them record
// by record gives what running each over the whole file does.
void IndexAndWeigh(const PredictionModel& model, ExRecord& r) {
    const std::optional<Surface> surface = CourseTestPasses(r) ? SurfaceOfTrack(r.Get(ex::TrackCD)) : std::nullopt;
    if (!surface) {
        LeaveUnpredicted(r);
        return;
    }
    const ModelTables* tables = model.Tables(*surface);
    if (!tables) throw std::runtime_error("model of " + std::string(SurfaceName(*surface)) + ": " + model.LoadError(*surface));
    if (LabelsUnset(r)) {
        const PredictionModel::UnlabelledRun& unlabelled = model.Unlabelled(*surface);
        CopyWeighing(unlabelled.record, r);
        DeriveSpeeds(unlabelled.sums, r);
    } else {
        DeriveSpeeds(WeighItems(*tables, MapItemCategories(*tables, r), r), r);
    }
}

}  // namespace

PredictionModel PredictionModel::Load() {
    PredictionModel model;
    for (Surface s : kSurfaces) {
        const auto i = static_cast<std::size_t>(SurfaceIndex(s));
        try {
            model.tables_[i] = std::make_shared<const ModelTables>(LoadModelTables(s, ModelScope::Weights));
            UnlabelledRun& unlabelled = model.unlabelled_[i];
            unlabelled.sums = WeighItems(*model.tables_[i], MapItemCategories(*model.tables_[i], unlabelled.record),
                                         unlabelled.record);
        } catch (const std::exception& e) {
            model.errors_[i] = e.what();
        }
    }
    try {
        model.stats_ = std::make_shared<const ItemStatistics>(LoadItemStatistics());
    } catch (const std::exception& e) {
        model.statsError_ = e.what();
        model.stats_ = std::make_shared<const ItemStatistics>();
    }
    return model;
}

const ModelTables* PredictionModel::Tables(Surface surface) const {
    return tables_[static_cast<std::size_t>(SurfaceIndex(surface))].get();
}

const PredictionModel::UnlabelledRun& PredictionModel::Unlabelled(Surface surface) const {
    return unlabelled_[static_cast<std::size_t>(SurfaceIndex(surface))];
}

const std::string& PredictionModel::LoadError(Surface surface) const {
    return errors_[static_cast<std::size_t>(SurfaceIndex(surface))];
}

float CombinedSoha(float kyori, float agari, float pace) {
    if (agari == 0.0f || pace == 0.0f) return 0.0f;
    const float denominator = (kyori - 600.0f) / pace + 600.0f / agari;
    const float combined = kyori / denominator;
    return std::isfinite(combined) ? combined : 0.0f;
}

std::string TrainingCountText(std::int64_t count) {
    const std::int64_t held = count < 0 ? 0 : (count > 9999999 ? 9999999 : count);
    return common::NumberText(held + 10000000).substr(1);
}

HorsePrediction PredictHorseRuns(std::span<ExRecord> runs, const PredictionModel& model, std::string_view kettoNum,
                                 const PredictionProgress& progressBar4) {
    HorsePrediction out;
    const int n = static_cast<int>(runs.size());
    out.records = n;
    const int firstLabelled = n > 4 ? n - 3 : 1;
    for (int r = 1; r <= n; ++r) {
        ExRecord& record = runs[static_cast<std::size_t>(r - 1)];
        try {
            if (r >= firstLabelled) {
                if (!DateTestPasses(record)) {
                    BlankSpeedsAndLabels(record);
                } else {
                    MeasureAndLabel(runs, r, model, kettoNum, out);
                    if (progressBar4) progressBar4(static_cast<int>(static_cast<std::int64_t>(r) * 100 / n));
                }
            }
            IndexAndWeigh(model, record);
        } catch (const std::exception& e) {
            // The passes write nothing but prediction fields: clearing them gives the record as
            // it came, with zeros where an unpredicted record has them.
            ClearPredictionFields(record);
            ++out.runsFailed;
            out.failures.push_back(std::string(kettoNum) + " record " + std::to_string(r) + ": not predicted, " + e.what());
        }
    }
    return out;
}

PredictionSummary PredictAllRunners(const std::vector<std::string>& weekHorseList, const PredictionModel& model,
                                    common::Host& host, const PredictionControls& controls) {
    PredictionSummary summary;
    summary.horses = static_cast<std::int64_t>(weekHorseList.size());
    acquisition::PeriodicPump pump(host);
    std::int64_t h = 0;
    for (const std::string& kettoNum : weekHorseList) {
        const bool done = common::PassOver(kPredictionStep, [&] {
            const ExRecordFile file = ExRecordFile::OfHorse(kettoNum);
            std::int64_t damaged = 0;
            std::vector<ExRecord> records = file.ReadAll(kPredictionStep, &damaged);
            summary.recordsPassedOver += damaged;
            // Written back, the file would lose the records passed over and keep none shifted.
            if (damaged > 0) throw std::runtime_error(file.Path().string() + " holds damaged records: left as it was");
            if (records.empty()) return;
            const HorsePrediction horse = PredictHorseRuns(records, model, kettoNum, controls.setProgressBar4);
            for (const std::string& line : horse.failures) common::LogError(kPredictionStep, line);
            WriteExRecords(kettoNum, records);
            summary.records += horse.records;
            summary.runsFailed += horse.runsFailed;
            summary.itemLabelsBlanked += horse.itemLabelsBlanked;
        });
        if (!done) ++summary.horsesPassedOver;
        pump.Tick();
        ++h;
        if (controls.setProgressBar3) controls.setProgressBar3(static_cast<int>(h * 100 / summary.horses));
    }
    return summary;
}

}  // namespace engine

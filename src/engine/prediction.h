#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "engine/ex_record.h"
#include "engine/model_items.h"
#include "engine/model_tables.h"
#include "engine/surface.h"

// The predicted speeds of every past run of this week's horses. For a horse's expanded records:
// - the newest four runs get their measured speeds and the thirty item labels (runs before 2016
//   and runs abroad or off the flat and hurdle tracks get blanks instead);
// - every run on a home racecourse with a surface gets the category index of each label in its
//   surface's model, item 2 with its second try at course "6";
// - and the weight sums: Agari, Pace and Soha as the sums of the categories' weights (item 1
//   always, items 2 to 30 only when |w| <= 20), the combined whole-race speed and their differences.
// A run elsewhere gets blank indices and counts and zero item weights.
namespace engine {

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kPredictionStep = "PredictAllRunners";

/// The sums of the item weights of a run (single precision, item 1 first; items 2 to 30 only when
/// |w| <= 20).
struct WeightSums {
    float agari = 0.0f, pace = 0.0f, soha = 0.0f;
};

/// What the prediction reads besides the records: the three surfaces' model tables and the
/// statistics of the items, each read once. A surface whose files cannot be read keeps the reason:
/// its runs fail.
class PredictionModel {
public:
    /// Reads the model files of the three surfaces (weights, labels and counts) and the items'
    /// statistics (KYOSOBATHISWEEK.dat must be written before). Never throws: a failure is kept.
    static PredictionModel Load();

    /// The tables of a surface; nullptr when its files could not be read.
    const ModelTables* Tables(Surface surface) const;
    /// Why a surface's tables are missing ("" when they are there).
    const std::string& LoadError(Surface surface) const;
    const ItemStatistics& Statistics() const { return *stats_; }

    /// A run whose labels were never written (all but a horse's newest four) falls in the same
    /// categories, and so gets the same weights, as every such run of its surface: they are
    /// worked out once, on a record of zero bytes, when the tables are read.
    struct UnlabelledRun {
        ExRecord record;  // with the category indices, the training counts and the item weights
        WeightSums sums;
    };
    /// That run of a surface whose tables could be read.
    const UnlabelledRun& Unlabelled(Surface surface) const;
    /// Why the statistics could not be read ("" when they were); the items then see none.
    const std::string& StatisticsError() const { return statsError_; }

private:
    std::array<std::shared_ptr<const ModelTables>, 3> tables_;
    std::array<std::string, 3> errors_;
    std::array<UnlabelledRun, 3> unlabelled_;
    std::shared_ptr<const ItemStatistics> stats_;
    std::string statsError_;
};

/// The outcome for one horse.
struct HorsePrediction {
    std::int64_t records = 0;            // expanded records treated
    std::int64_t runsFailed = 0;         // runs whose prediction could not be computed: they got zeros
    std::int64_t itemLabelsBlanked = 0;  // labels left blank because the item's rule could not be computed
    /// One line per failed run and per blank label, naming the horse and the record, in record order.
    std::vector<std::string> failures;
};

/// Value 0 to 100 of a progress bar.
using PredictionProgress = std::function<void(int percent)>;

/// Completes the expanded records of one horse in memory (`runs`: its records, oldest first, as
/// the builder made them). A run whose prediction cannot be computed (a time or distance that is
/// not a number, its surface's model unreadable) gets zeros in every prediction field, as an
/// unpredicted record has them, and the other runs go on. `progressBar4` gets Int(r x 100 / n)
/// after each of the newest four records that has a date from 2016 on.
HorsePrediction PredictHorseRuns(std::span<ExRecord> runs, const PredictionModel& model, std::string_view kettoNum,
                                 const PredictionProgress& progressBar4 = {});

/// The expansion window's progress bars that the prediction moves.
struct PredictionControls {
    PredictionProgress setProgressBar3;  // horses
    PredictionProgress setProgressBar4;  // records of one horse
};

struct PredictionSummary {
    std::int64_t horses = 0;             // entries of the list
    std::int64_t records = 0;            // expanded records treated
    std::int64_t runsFailed = 0;
    std::int64_t itemLabelsBlanked = 0;
    std::int64_t horsesPassedOver = 0;   // files that could not be read or written, or hold damaged records
    std::int64_t recordsPassedOver = 0;  // damaged records of the files read (each logged)
};

/// Completes the files of expanded runs of every horse of `weekHorseList` in place (each read
/// once and written once), with the tables of `model`. Failures are logged under
/// "PredictAllRunners"; a horse whose file cannot be read or written is passed over and the next
/// goes on. Pending window events run through `host` as it works.
PredictionSummary PredictAllRunners(const std::vector<std::string>& weekHorseList, const PredictionModel& model,
                                    common::Host& host, const PredictionControls& controls = {});

/// The predicted whole-race speed: Kyori / ((Kyori - 600) / Pace + 600 / Agari) in single
/// precision (600 m over hurdles too); 0 when either speed is 0 or the result is not finite.
float CombinedSoha(float kyori, float agari, float pace);

/// A training count as seven digits with leading zeros (counts outside 0 to 9999999 are held to
/// those bounds).
std::string TrainingCountText(std::int64_t count);

}  // namespace engine

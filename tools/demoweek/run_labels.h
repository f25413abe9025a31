#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "engine/ex_record.h"
#include "engine/model_items.h"
#include "statistics_files.h"
#include "world.h"

// The generated runs as the computation sees them: each horse's runner records joined into
// expanded records by the engine's builder and labelled by the engine's thirty model items, so
// that the model files hold exactly the labels the program produces.
namespace demoweek {

/// One labelled run, handed to the visit by worker `worker` (0 to workers - 1): its expanded record
/// with the thirty labels in place, and the items whose rule could not be computed (their label is
/// blank). The workers run at once; each worker's calls come one after another, and all the runs of
/// one horse go to one worker, in the order described below.
using LabelledRunVisit = std::function<void(int worker, const engine::ExRecord& run,
                                            std::span<const engine::ItemLabelFailure> failures)>;

struct LabelledRunCounts {
    long long runs = 0;      // records handed to the visit
    long long failures = 0;  // item labels that could not be computed
    std::string firstFailure;  // of the first horse (in world order) that had one
};

/// Labels every run of every horse, per horse oldest run first: each run
/// before this week with the runs before it, then this week's run in each form the computation
/// can meet it in: as fetched after the results and before the races, each as fetched and after
/// the day-before fix (engine::FixLastRun on the runner record; engine::SetFineWeatherAndGoodGoing
/// for a race that has a payout record).
///
/// The builder reads its join tables from an application folder, so the week's stored race, horse
/// and jockey files (and the foal and supplied jockey files copied from `option1n`) are written to
/// a scratch folder in the system's temporary folder, which is AppFolder while the runs are built
/// and labelled; AppFolder is restored and the scratch folder removed afterwards. The horses are
/// shared out among `workers` threads (at least one). Throws when a run cannot be built or the
/// builder logged a failure: the generated records would not be what the program reads.
LabelledRunCounts LabelRuns(const World& world, const Statistics& stats, const std::filesystem::path& option1n,
                            int workers, const LabelledRunVisit& visit);

}  // namespace demoweek

#include "run_labels.h"

#include <stdlib.h>  // mkdtemp

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <exception>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "common/paths.h"
#include "common/record_file.h"
#include "engine/day_before_fix.h"
#include "engine/ex_builder.h"
#include "engine/stats_records.h"
#include "jvdata_folder.h"
#include "record_writers.h"
#include "records/decoders.h"
#include "records/week_record_file.h"

namespace demoweek {

namespace {

namespace fs = std::filesystem;

constexpr auto kRunLength = static_cast<std::size_t>(records::kLength<records::LayoutSE>);

// A fresh folder in the system's temporary folder that is AppFolder while the object lives;
// afterwards AppFolder is what it was and the folder is gone.
class ScratchAppFolder {
public:
    ScratchAppFolder() : previous_(common::AppFolder()) {
        std::string pattern = (fs::temp_directory_path() / "demoweek-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), "cannot make a scratch folder " + pattern);
        path_ = pattern;
        common::SetAppFolder(path_.string());
    }
    ~ScratchAppFolder() {
        common::SetAppFolder(previous_);
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchAppFolder(const ScratchAppFolder&) = delete;
    ScratchAppFolder& operator=(const ScratchAppFolder&) = delete;

    const fs::path& Path() const { return path_; }

private:
    std::string previous_;
    fs::path path_;
};

// Delivered records in their stored forms, as the weekly fetch files them: decoded, then packed.
class StoredForms {
public:
    std::string Ra(std::string_view delivered) {
        records::DecodeRA(delivered, ra_);
        records::PackRecordRA(ra_, storedRa_);
        return std::string(storedRa_.Bytes());
    }
    std::string Se(std::string_view delivered) {
        records::DecodeSE(delivered, se_);
        records::PackRecordSE(se_, storedSe_);
        return std::string(storedSe_.Bytes());
    }
    std::string Um(std::string_view delivered) {
        records::DecodeUM(delivered, um_);
        records::PackRecordUM(um_, storedUm_);
        return std::string(storedUm_.Bytes());
    }
    std::string Ks(std::string_view delivered) {
        records::DecodeKS(delivered, ks_);
        records::PackRecordKS(ks_, storedKs_);
        return std::string(storedKs_.Bytes());
    }

private:
    records::RecordRA ra_;
    records::RecordSE se_;
    records::RecordUM um_;
    records::RecordKS ks_;
    records::StoredRA storedRa_;
    records::StoredSE storedSe_;
    records::StoredUM storedUm_;
    records::StoredKS storedKs_;
};

// The builder's join tables for the week fetched in `state`: the race file (past races, then
// this week's), the week's horse and jockey files. The foal and supplied jockey files are in
// the scratch folder's OPTION1N already.
engine::ExJoinTables LoadJoinTables(const World& world, WeekState state, const std::string& pastRaces,
                                    StoredForms& forms) {
    std::string races = pastRaces;
    for (int i = 0; i < world.weekRaceCount; ++i) {
        const Race& race = world.races[static_cast<std::size_t>(i)];
        races += forms.Ra(RaRecord(world, race, WeekStage(world, race, state)));
    }
    common::WriteFileAtomically(common::AppPath(records::kRaThisWeekNew), races);

    const Day fetched = world.FetchDay(state);
    std::string horses;
    for (const Horse& h : world.horses) horses += forms.Um(UmRecord(world, h, fetched));
    common::WriteFileAtomically(common::AppPath(records::kUmThisWeekNew), horses);

    std::string jockeys;
    for (const Person& j : world.jockeys) jockeys += forms.Ks(KsRecord(world, j, fetched));
    common::WriteFileAtomically(common::AppPath(records::kKsThisWeek), jockeys);
    return engine::ExJoinTables::Load();
}

// The expanded records of a run file's runs; every run must be built.
std::vector<engine::ExRecord> Expand(const engine::ExJoinTables& tables, const Horse& horse, std::string_view runFile) {
    engine::HorseExpansion expansion = engine::ExpandHorseRuns(tables, horse.ketto, runFile);
    if (!expansion.complete || expansion.lastDropped || expansion.records.size() != runFile.size() / kRunLength)
        throw std::runtime_error("the engine could not expand the runs of horse " + horse.ketto);
    return std::move(expansion.records);
}

// The labels of one worker's horses.
class Labeller {
public:
    Labeller(const engine::ItemStatistics& stats, const LabelledRunVisit& visit, int worker)
        : stats_(stats), visit_(visit), worker_(worker) {}

    void Label(engine::ExRecord& run, std::span<const engine::ExRecord> earlier, std::size_t horse) {
        const std::vector<engine::ItemLabelFailure> failures = engine::ComputeItemLabels(run, earlier, stats_);
        if (!failures.empty()) {
            if (horse < firstFailureHorse_) {
                firstFailureHorse_ = horse;
                counts_.firstFailure = failures.front().reason;
            }
            counts_.failures += static_cast<long long>(failures.size());
        }
        ++counts_.runs;
        visit_(worker_, run, failures);
    }

    const LabelledRunCounts& Counts() const { return counts_; }
    std::size_t FirstFailureHorse() const { return firstFailureHorse_; }

private:
    const engine::ItemStatistics& stats_;
    const LabelledRunVisit& visit_;
    int worker_;
    LabelledRunCounts counts_;
    std::size_t firstFailureHorse_ = static_cast<std::size_t>(-1);
};

// What every worker reads and nobody changes.
struct Week {
    const World& world;
    const engine::ExJoinTables& after;
    const engine::ExJoinTables& before;
};

// Labels the runs of horse `index`, `forms` and `runFile` being the worker's own.
void LabelHorse(const Week& week, std::size_t index, Labeller& labeller, StoredForms& forms, std::string& runFile) {
    const World& world = week.world;
    const Horse& h = world.horses[index];
    if (h.runs.empty()) return;
    // The runs before this week, oldest first, as the horse's run file holds them.
    runFile.clear();
    for (std::size_t k = 0; k + 1 < h.runs.size(); ++k) {
        const Race& race = world.races[static_cast<std::size_t>(h.runs[k].race)];
        runFile += forms.Se(SeRecord(world, race, race.slots[static_cast<std::size_t>(h.runs[k].slot)], PastStage(race)));
    }
    const std::size_t pastRuns = h.runs.size() - 1;
    const std::string previous = pastRuns == 0 ? std::string() : runFile.substr(runFile.size() - kRunLength);

    const Race& race = world.races[static_cast<std::size_t>(h.runs.back().race)];
    const Slot& slot = race.slots[static_cast<std::size_t>(h.runs.back().slot)];
    std::vector<engine::ExRecord> runs;
    for (const WeekState state : {WeekState::After, WeekState::Before}) {
        const engine::ExJoinTables& tables = state == WeekState::After ? week.after : week.before;
        std::string thisWeek = forms.Se(SeRecord(world, race, slot, WeekStage(world, race, state)));
        if (runs.empty()) {
            // The whole run file once; its past runs are the same in either state.
            runs = Expand(tables, h, runFile + thisWeek);
            for (std::size_t r = 0; r < runs.size(); ++r)
                labeller.Label(runs[r], std::span<const engine::ExRecord>(runs).first(r), index);
        } else {
            // The run file's last two records: all that the builder's order check looks at.
            engine::ExRecord asFetched = Expand(tables, h, previous + thisWeek).back();
            labeller.Label(asFetched, std::span<const engine::ExRecord>(runs).first(pastRuns), index);
        }
        engine::FixLastRun(thisWeek, previous);
        engine::ExRecord fixed = Expand(tables, h, previous + thisWeek).back();
        // When the results are in, the fix treats the races that have a payout record; before the
        // races it treats those of data kind "1", and the generated race cards are of kind "2".
        if (HasPayoutRecord(race, state)) engine::SetFineWeatherAndGoodGoing(fixed);
        labeller.Label(fixed, std::span<const engine::ExRecord>(runs).first(pastRuns), index);
    }
}

}  // namespace

LabelledRunCounts LabelRuns(const World& world, const Statistics& stats, const fs::path& option1n, int workers,
                            const LabelledRunVisit& visit) {
    const engine::ItemStatistics itemStats = ItemStatisticsOf(stats);
    StoredForms forms;

    const ScratchAppFolder scratch;
    fs::create_directories(scratch.Path() / "OPTION1N");
    for (std::string_view name : {engine::kDamFoalFile, engine::kSuppliedJockeyFile})
        fs::copy_file(option1n / name, scratch.Path() / "OPTION1N" / name);

    std::string pastRaces;
    for (std::size_t i = static_cast<std::size_t>(world.weekRaceCount); i < world.races.size(); ++i)
        pastRaces += forms.Ra(RaRecord(world, world.races[i], PastStage(world.races[i])));
    const engine::ExJoinTables afterTables = LoadJoinTables(world, WeekState::After, pastRaces, forms);
    const engine::ExJoinTables beforeTables = LoadJoinTables(world, WeekState::Before, pastRaces, forms);
    pastRaces = {};
    const Week week{world, afterTables, beforeTables};

    // Horses are handed out one at a time; what a worker's visit collects does not depend on which
    // worker got which horse when the caller merges it in an order-free way.
    workers = std::max(1, workers);
    std::atomic<std::size_t> next{0};
    std::vector<Labeller> labellers;
    for (int w = 0; w < workers; ++w) labellers.emplace_back(itemStats, visit, w);
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(workers));
    auto work = [&](int w) {
        try {
            StoredForms ownForms;
            std::string runFile;
            for (std::size_t i = next++; i < world.horses.size(); i = next++)
                LabelHorse(week, i, labellers[static_cast<std::size_t>(w)], ownForms, runFile);
        } catch (...) {
            errors[static_cast<std::size_t>(w)] = std::current_exception();
            next = world.horses.size();  // the others stop too
        }
    };
    {
        std::vector<std::jthread> threads;
        for (int w = 1; w < workers; ++w) threads.emplace_back(work, w);
        work(0);
    }
    for (const std::exception_ptr& e : errors)
        if (e) std::rethrow_exception(e);
    if (fs::exists(common::AppPath("ERRORLOG.txt")))
        throw std::runtime_error("the engine passed over parts of the generated runs:\n" +
                                 common::ReadFileBytes(common::AppPath("ERRORLOG.txt")));

    LabelledRunCounts counts;
    std::size_t firstFailureHorse = static_cast<std::size_t>(-1);
    for (const Labeller& l : labellers) {
        counts.runs += l.Counts().runs;
        counts.failures += l.Counts().failures;
        if (l.FirstFailureHorse() < firstFailureHorse) {
            firstFailureHorse = l.FirstFailureHorse();
            counts.firstFailure = l.Counts().firstFailure;
        }
    }
    return counts;
}

}  // namespace demoweek

#include "engine/computation.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <unordered_map>

#include <tbb/parallel_for.h>

#include "acquisition/run_files.h"
#include "common/code_table.h"
#include "common/error_log.h"
#include "common/file_faults.h"
#include "common/missing_input.h"
#include "common/cores.h"
#include "common/other_cores.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/ex_builder.h"
#include "engine/ex_record.h"
#include "engine/model_tables.h"
#include "engine/prediction.h"
#include "engine/stats_records.h"
#include "records/week_record_file.h"
#include "records/record_check.h"

namespace engine {

namespace fs = std::filesystem;

namespace {

/// The list steps' bar is full at this many entries.
constexpr std::int64_t kListBarFull = 2000;

void SetText3(const ComputationControls& c, std::string_view text) {
    if (c.setText3) c.setText3(text);
}
void SetBar3(const ComputationControls& c, std::int64_t value) {
    if (c.setProgressBar3) c.setProgressBar3(static_cast<int>(std::min<std::int64_t>(value, 100)));
}
void SetBar4(const ComputationControls& c, std::int64_t value) {
    if (c.setProgressBar4) c.setProgressBar4(static_cast<int>(std::min<std::int64_t>(value, 100)));
}

// Runs one step; a failure is logged and counted, and the run goes on with the next step.
template <class F>
void Step(ComputationSummary& summary, F&& step) {
    if (!common::PassOver(kComputationStep, std::forward<F>(step))) ++summary.stepsPassedOver;
}

std::vector<std::string> ReadList(std::string_view listFile, const ComputationControls& controls) {
    std::vector<std::string> list = acquisition::ReadKeyList(common::AppPath(listFile));
    SetBar3(controls, static_cast<std::int64_t>(list.size()) * 100 / kListBarFull);
    return list;
}

// One listed horse as it goes through the computation: its run file read, its runs expanded and
// predicted, its file written; and what the run takes up from it, so that a second entry of the
// horse counts and logs what the first did.
struct HorseOutcome {
    std::vector<std::pair<std::string_view, std::string>> log;  // step and line, in order
    int bar4 = -1;                                              // where the records bar ended
    bool written = false;                                       // its file holds its records
    bool noRuns = false;                                        // its run file missing or empty
    std::int64_t runs = 0;
    std::int64_t records = 0;
    bool lastDropped = false;
    bool passedOver = false;
    std::int64_t runsFailed = 0;
    std::int64_t itemLabelsBlanked = 0;
    std::int64_t recordsPassedOver = 0;
};

struct HorseInWork {
    std::size_t entry = 0;    // its place in the list
    std::string runFile;      // the content of its run file
    bool failed = false;      // the horse is passed over: its file is left empty
    bool kept = false;        // no whole run: its file of expanded runs is kept as it is
    HorseExpansion horse;
    HorsePrediction predicted;
    HorseOutcome out;
};

// A horse that could not be computed ends with an empty file, as every listed horse's file is
// before its records are written; a key that cannot name a file touches nothing.
void LeaveEmpty(const std::string& kettoNum, HorseOutcome& out) {
    if (!common::IsSafeKey(kettoNum)) return;
    try {
        ExRecordFile::OfHorse(kettoNum).MakeEmpty();
    } catch (const std::exception& e) {
        out.log.emplace_back(kComputationStep, e.what());
    }
}

void Fail(HorseInWork& h, const std::exception& e) {
    h.out.log.emplace_back(kComputationStep, e.what());
    h.out.passedOver = true;
    h.failed = true;
}

// Reads the horse's run file: its file call before the computation.
void ReadRuns(const std::string& kettoNum, HorseInWork& h) {
    try {
        if (!acquisition::IsValidKettoNum(kettoNum))
            throw std::invalid_argument("KettoNum \"" + kettoNum + "\" of " + std::string(acquisition::kHorseList) +
                                        " cannot name a file");
        h.runFile = common::ReadFileBytes(acquisition::HorseRunFilePath(kettoNum));
    } catch (const std::exception& e) {
        Fail(h, e);
    }
}

// Expands and predicts the horse in memory: no file call, nothing but its own values touched, so
// that horses can be computed side by side.
void Compute(const ExJoinTables& tables, const PredictionModel& model, const std::string& kettoNum, HorseInWork& h) {
    if (h.failed) return;
    try {
        h.horse = ExpandHorseRuns(tables, kettoNum, h.runFile);
        h.runFile = std::string();
        h.out.runs = h.horse.runs;
        h.out.recordsPassedOver = h.horse.recordsPassedOver;
        for (std::string& line : h.horse.failures) h.out.log.emplace_back(kExBuildStep, std::move(line));
        // A run file missing or without a byte: the caller tells the one from the other. One that
        // holds bytes but no whole run is damaged (told above): its file of expanded runs is kept.
        if (h.horse.records.empty() && h.horse.recordsPassedOver > 0) {
            h.out.passedOver = true;
            h.kept = true;
            return;
        }
        if (h.horse.runs == 0) {
            h.out.noRuns = true;
            return;
        }
        h.predicted = PredictHorseRuns(h.horse.records, model, kettoNum, [&](int value) { h.out.bar4 = value; });
        for (const std::string& line : h.predicted.failures) h.out.log.emplace_back(kPredictionStep, line);
    } catch (const std::exception& e) {
        Fail(h, e);
    }
}

// Writes the horse's file once, or leaves it empty when it could not be computed.
void WriteHorse(const std::string& kettoNum, HorseInWork& h) {
    HorseOutcome& out = h.out;
    if (!h.failed && !out.noRuns && !h.kept) {
        try {
            WriteExRecords(kettoNum, h.horse.records);
            out.written = true;
            out.records = static_cast<std::int64_t>(h.horse.records.size());
            out.lastDropped = h.horse.lastDropped;
            if (!h.horse.complete) {
                // The records up to the run that failed stay written.
                out.log.emplace_back(kComputationStep, kettoNum + ": records end before a run that could not be built");
                out.passedOver = true;
            } else {
                out.runsFailed = h.predicted.runsFailed;
                out.itemLabelsBlanked = h.predicted.itemLabelsBlanked;
            }
        } catch (const std::exception& e) {
            Fail(h, e);
        }
    }
    if (h.failed) LeaveEmpty(kettoNum, out);
}

// Where each entry of the list is first listed: a horse listed twice is computed once, and its
// second entry counts and logs what the first did, as computing it again would.
std::vector<std::size_t> FirstEntries(const std::vector<std::string>& horses) {
    std::unordered_map<std::string_view, std::size_t> first;
    std::vector<std::size_t> out(horses.size());
    for (std::size_t i = 0; i < horses.size(); ++i) out[i] = first.try_emplace(horses[i], i).first->second;
    return out;
}

// Horses taken up together. Every file call of the computation is made on the calling thread in
// list order, whatever the cores: while the other cores compute one block, the calling thread
// writes the block before it and reads the block after it. (A pipeline's reading and writing
// stages would run at the same time on two threads, and their file calls would fall between each
// other as the threads happen to run.)
constexpr std::size_t kHorsesPerBlock = 32;

// Every listed horse, taken up in list order. Returns the entries of the list without a run, for
// the caller to tell.
std::vector<std::string> ComputeHorses(const ExJoinTables& tables, const PredictionModel& model,
                                       const std::vector<std::string>& horses, common::Host& host,
                                       const ComputationControls& controls, ComputationSummary& summary) {
    std::vector<std::string> withoutRuns;
    const std::vector<std::size_t> first = FirstEntries(horses);
    std::unordered_map<std::size_t, HorseOutcome> listedAgain;  // first entries of horses listed twice
    for (std::size_t i = 0; i < horses.size(); ++i)
        if (first[i] != i) listedAgain.try_emplace(first[i]);
    // Log lines and counts in list order; the bars and the window's events on the calling thread,
    // which alone may touch the window, between blocks while no other thread computes.
    int bar4 = -1;
    const auto takeUp = [&](std::size_t i, const HorseOutcome& o) {
        for (const auto& [step, line] : o.log) common::LogError(step, line);
        if (o.bar4 >= 0) bar4 = o.bar4;
        if (o.noRuns) withoutRuns.push_back(horses[i]);
        if (o.written) ++summary.filesWritten;
        summary.runs += o.runs;
        summary.recordsPassedOver += o.recordsPassedOver;
        summary.records += o.records;
        if (o.lastDropped) ++summary.lastRecordsDropped;
        if (o.passedOver) ++summary.horsesPassedOver;
        summary.runsFailed += o.runsFailed;
        summary.itemLabelsBlanked += o.itemLabelsBlanked;
    };
    const auto read = [&](std::size_t start) {
        std::vector<HorseInWork> block;
        for (std::size_t i = start; i < std::min(horses.size(), start + kHorsesPerBlock); ++i) {
            HorseInWork& h = block.emplace_back();
            h.entry = i;
            if (first[i] == i) ReadRuns(horses[i], h);
        }
        return block;
    };
    const auto write = [&](std::vector<HorseInWork>& block) {
        for (HorseInWork& h : block) {
            const std::size_t i = h.entry;
            if (first[i] != i) {
                takeUp(i, listedAgain.at(first[i]));
                continue;
            }
            WriteHorse(horses[i], h);
            takeUp(i, h.out);
            if (const auto again = listedAgain.find(i); again != listedAgain.end()) again->second = std::move(h.out);
        }
    };

    if (horses.empty()) return withoutRuns;
    std::vector<HorseInWork> current = read(0), next;
    // Declared after the blocks, so that it waits for the block computing before they go.
    common::OtherCores cores(ComputationThreads());
    // The block's horses stay where they are while it computes: a moved vector keeps its elements.
    const auto startComputing = [&](std::vector<HorseInWork>& block) {
        HorseInWork* const at = block.data();
        const std::size_t count = block.size();
        cores.Start([&, at, count] {
            tbb::parallel_for(std::size_t{0}, count, [&, at](std::size_t k) {
                HorseInWork& h = at[k];
                if (first[h.entry] == h.entry) Compute(tables, model, horses[h.entry], h);
            });
        });
    };
    std::size_t writtenEnd = 0;  // the horses written so far
    const auto showProgress = [&] {
        if (bar4 >= 0) SetBar4(controls, bar4);
        SetBar3(controls, static_cast<std::int64_t>(writtenEnd) * 100 / static_cast<std::int64_t>(horses.size()));
        host.pumpEvents();
    };
    startComputing(current);
    for (std::size_t start = 0; start < horses.size(); start += kHorsesPerBlock) {
        next = read(start + kHorsesPerBlock);
        cores.Wait();
        if (writtenEnd > 0) showProgress();
        if (!next.empty()) startComputing(next);
        write(current);
        writtenEnd = std::min(horses.size(), start + kHorsesPerBlock);
        current = std::move(next);
    }
    showProgress();
    return withoutRuns;
}

// The model files that cannot be read count once each, whether or not a run of the week needs them.
void ReportModelFailures(const PredictionModel& model, ComputationSummary& summary) {
    for (Surface s : kSurfaces) {
        if (model.Tables(s)) continue;
        common::LogError(kComputationStep, "model " + std::string(SurfaceName(s)) + ": " + model.LoadError(s));
        ++summary.stepsPassedOver;
    }
    if (!model.StatisticsError().empty()) {
        common::LogError(kComputationStep, "item statistics: " + model.StatisticsError());
        ++summary.stepsPassedOver;
    }
    summary.recordsPassedOver += model.Statistics().RecordsPassedOver();
}

bool Readable(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    if (!common::FileCallAllowed()) return false;
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

/// Only one run at a time: a second start (from another expansion window, through the events a
/// run lets through) would write the same files.
std::atomic<bool> running{false};

// The supplied statistics that the expansion and the items read as they are. One that is missing,
// or holds no record, reads as empty and changes every prediction that would use it.
struct SuppliedStatistics {
    std::string_view name;
    std::size_t recordLength;
};
constexpr SuppliedStatistics kSuppliedStatistics[] = {
    {kChokyoSeiseiFile, PersonStats::kLength},
    {kStallionFile, SireDamStats::kLength},
    {kMareFile, SireDamStats::kLength},
    {kKishuSeiseiFile, PersonStats::kLength},
    {kDamFoalFile, DamFoalRecord::kLength},
    {kSuppliedJockeyFile, static_cast<std::size_t>(records::WeekFileKS::kRecordLength)},
};

// Each supplied statistics file that the run goes without is named in the log and counted.
void ReportMissingStatistics(ComputationSummary& summary) {
    for (const SuppliedStatistics& file : kSuppliedStatistics) {
        Step(summary, [&] {
            const fs::path path = common::Option1nPath(file.name);
            std::error_code ec;
            const bool there = fs::exists(path, ec);
            if (there && common::RecordFile(path, file.recordLength).Count() > 0) return;
            common::LogError(kComputationStep, "OPTION1N/" + std::string(file.name) +
                                                   (there ? " holds no record" : " is missing") +
                                                   ": read as empty, the predictions are made without it");
            ++summary.statisticsMissing;
        });
    }
}

// The first damaged entry of a list of the week, named with its file and record number; "" when
// none. The structures step writes each key once, ten letters or digits (a dam not on record as
// blanks), so an entry that is not, or stands again, is damage.
std::string DamagedListEntry(std::string_view listFile, const std::vector<std::string>& keys) {
    std::unordered_map<std::string_view, std::size_t> first;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string at = std::string(listFile) + " record " + std::to_string(i + 1) + ": ";
        const std::string& key = keys[i];
        const bool blank = key.size() == 10 && key.find_first_not_of(' ') == std::string::npos;
        if (!acquisition::IsValidKettoNum(key) && !blank)
            return at + "\"" + key + "\" is not ten letters or digits";
        if (const auto [it, added] = first.try_emplace(key, i + 1); !added)
            return at + key + " listed again (first as record " + std::to_string(it->second) + ")";
    }
    return {};
}

// A subset of this week's statistics is made from the keys of a list that stands whole; from a
// damaged one it would drop or repeat records of this week: it stays as it was.
void WriteSubsetOfList(std::string_view listFile, const std::vector<std::string>& keys, std::string_view sourceFile,
                       std::string_view subsetFile, std::size_t recordLength, std::size_t keyWidth,
                       std::int64_t& written) {
    std::string damage = DamagedListEntry(listFile, keys);
    if (keys.empty()) {
        std::error_code ec;
        damage = std::string(listFile) + (fs::exists(common::AppPath(listFile), ec) ? " holds no key" : " is missing");
    }
    if (!damage.empty())
        throw std::runtime_error(damage + ": OPTION1N/" + std::string(subsetFile) + " left as it was");
    written = WriteThisWeekSubset(sourceFile, subsetFile, recordLength, keyWidth, keys);
}

// A step that found its input missing or empty: logged, and the end text says so.
void NothingToWorkOn(ComputationSummary& summary, const std::string& what) {
    common::LogError(kComputationStep, what + ": nothing to work on");
    summary.nothingToWorkOn = true;
}

}  // namespace

std::string ComputationEndText(const ComputationSummary& s) {
    if (s.AllDone()) return std::string(kComputationDone);
    std::vector<std::string> parts = s.unfinishedInputs;
    if (s.nothingToWorkOn) parts.emplace_back(common::kNoInputPart);
    if (s.statisticsMissing) parts.push_back("見つからないか空の統計ファイル " + std::to_string(s.statisticsMissing) + " 件");
    if (s.runsFailed) parts.push_back("予想できなかった過去走 " + std::to_string(s.runsFailed) + " 件");
    if (s.itemLabelsBlanked) parts.push_back("計算できなかった項目 " + std::to_string(s.itemLabelsBlanked) + " 件");
    if (s.horsesPassedOver) parts.push_back("展開できなかった馬 " + std::to_string(s.horsesPassedOver) + " 頭");
    if (s.stepsPassedOver) parts.push_back("処理できなかった手順 " + std::to_string(s.stepsPassedOver) + " 件");
    if (s.recordsPassedOver) parts.push_back(records::DamagedRecordsPart(s.recordsPassedOver));
    const std::string runFirst = s.nothingToWorkOn ? common::RunFirstPart(common::MarkedStep::Computation) : "";
    return std::string(kComputationDone) + common::PassedOverNote(parts, runFirst);
}

std::int64_t WriteThisWeekSubset(std::string_view sourceFile, std::string_view subsetFile, std::size_t recordLength,
                                 std::size_t keyWidth, const std::vector<std::string>& keys) {
    std::unordered_map<std::string, int> times;
    for (const std::string& key : keys) ++times[key];

    const fs::path source = common::Option1nPath(sourceFile);
    std::error_code ec;
    const bool sourceThere = fs::exists(source, ec);
    // Without its source the subset stays as it is; the failure is logged and told in the end text.
    if (!sourceThere) throw std::runtime_error(source.string() + " is missing: " + std::string(subsetFile) + " left as it was");
    std::string subset;
    std::int64_t written = 0;
    const common::RecordFile file(source, recordLength);
    records::RecordFileCheck check(kComputationStep, source, {}, recordLength, file.Size());
    std::string previous;
    std::int64_t copies = 0;
    file.ForEach([&](std::int64_t n, std::string_view record) {
        if (!check.Sound(n, record)) return;
        if (CopyOfPreviousRecord(kComputationStep, source, n, record, previous)) {
            ++copies;
            return;
        }
        const auto found = times.find(std::string(record.substr(0, keyWidth)));
        if (found == times.end()) return;
        for (int i = 0; i < found->second; ++i, ++written) subset.append(record);
    });
    check.Finish();
    // A subset of part of its source, or of none, would drop this week's records that stand
    // there: it stays as it was.
    if (check.PassedOver() + copies > 0)
        throw std::runtime_error(source.string() + " holds damaged records: " + std::string(subsetFile) + " left as it was");
    if (file.Size() == 0)
        throw std::runtime_error(source.string() + " holds no record: " + std::string(subsetFile) + " left as it was");
    // Nothing of this week: the file would only be written back as it stands, or made empty where
    // there is none; OPTION1N holds the user's files.
    if (written == 0) return 0;
    // This week's records go from record 1 over the file as it stands: records of an earlier,
    // longer subset stay behind them. Readers take the first match, so they always find this
    // week's records first.
    const fs::path target = common::Option1nPath(subsetFile);
    const std::string before = common::ReadFileBytes(target);
    if (before.size() > subset.size()) subset.append(before, subset.size(), std::string::npos);
    common::CreateFolders(target.parent_path());
    common::WriteFileAtomically(target, subset);
    return written;
}

ComputationSummary RunComputation(common::Host& host, const ComputationControls& controls) {
    ComputationSummary summary;
    if (running.exchange(true)) return summary;
    struct Release {
        ~Release() { running = false; }
    } release;

    SetText3(controls, kComputationStart);
    // The mark stands until the run has ended: a run cut short (the program ended, a failure
    // that escapes) leaves it, and the next start tells the user.
    Step(summary, [] { common::SetStepMark(common::MarkedStep::Computation); });
    summary.unfinishedInputs = common::UnfinishedInputParts(common::MarkedStep::Computation, kComputationStep);
    SetBar3(controls, 0);
    SetBar4(controls, 0);
    ReportMissingStatistics(summary);

    // This week's dams and their statistics.
    std::vector<std::string> dams;
    Step(summary, [&] { dams = ReadList(acquisition::kDamList, controls); });
    summary.dams = static_cast<std::int64_t>(dams.size());
    Step(summary, [&] {
        WriteSubsetOfList(acquisition::kDamList, dams, kHahaumaFile, kHahaumaThisWeekFile, SireDamStats::kLength,
                          SireDamStats::kKeyWidth, summary.damStatsRecords);
    });

    // This week's horses and their statistics. A horse's file is not emptied here: it is
    // written once below, or left empty when the horse cannot be computed.
    std::vector<std::string> horses;
    const bool listRead = common::PassOver(kComputationStep, [&] { horses = ReadList(acquisition::kHorseList, controls); });
    if (!listRead) ++summary.stepsPassedOver;
    summary.horses = static_cast<std::int64_t>(horses.size());
    if (listRead && horses.empty()) {
        std::error_code ec;
        NothingToWorkOn(summary, std::string(acquisition::kHorseList) +
                                     (fs::exists(common::AppPath(acquisition::kHorseList), ec) ? " lists no horse"
                                                                                               : " is missing"));
    }
    // A list missing or empty is told above as nothing to work on.
    if (!horses.empty())
        Step(summary, [&] {
            WriteSubsetOfList(acquisition::kHorseList, horses, kKyosobaFile, kKyosobaThisWeekFile, HorseStats::kLength,
                              HorseStats::kKeyWidth, summary.horseStatsRecords);
        });
    SetBar3(controls, 0);
    host.pumpEvents();

    // Every file the horses need is read once; then each horse's runs are expanded and predicted
    // in memory: its prediction reads only its own records and the files read here.
    std::optional<ExJoinTables> tables;
    Step(summary, [&] {
        tables = ExJoinTables::Load(controls.setProgressBar3);
        summary.recordsPassedOver += tables->RecordsPassedOver();
    });
    const PredictionModel model = PredictionModel::Load();
    ReportModelFailures(model, summary);
    // A folder that cannot be made fails each horse's file below.
    common::PassOver(kComputationStep, [] { common::CreateFolders(common::AppPath(kExFolder)); });
    // Without the week's horses or races every expanded record would miss their fields: the files
    // of expanded runs stay as they are.
    bool joinable = true;
    if (tables) {
        common::InputCheck inputs(kComputationStep, common::InputCheck::Need::Every);
        inputs.Note(common::AppPath(records::kUmThisWeekNew), tables->HorseRows() > 0);
        inputs.Note(common::AppPath(records::kRaThisWeekNew), tables->RaceRows() > 0);
        joinable = inputs.Report().empty();
        if (!joinable) summary.nothingToWorkOn = true;
    }
    if (tables && joinable) {
        const std::vector<std::string> withoutRuns = ComputeHorses(*tables, model, horses, host, controls, summary);
        // A run file that is there and holds no run (all the horse's runs were called off) gives
        // an empty file of expanded runs, as every listed horse's file is before its records are
        // written. Only a missing run file is an input missing: that horse's file stays as it was.
        std::vector<std::string> missing;
        for (const std::string& kettoNum : withoutRuns) {
            std::error_code ec;
            if (!fs::exists(acquisition::HorseRunFilePath(kettoNum), ec)) missing.push_back(kettoNum);
            else if (!common::PassOver(kComputationStep, [&] { ExRecordFile::OfHorse(kettoNum).MakeEmpty(); }))
                ++summary.horsesPassedOver;
        }
        if (!horses.empty() && withoutRuns.size() == horses.size()) {
            NothingToWorkOn(summary, "the run files of the " + std::to_string(horses.size()) + " listed horses in " +
                                         std::string(acquisition::kHorseRunFolder) + " hold no run");
        } else {
            for (const std::string& kettoNum : missing) {
                common::LogError(kComputationStep, acquisition::HorseRunFilePath(kettoNum).string() +
                                                       " is missing: its file of expanded runs left as it was");
                ++summary.horsesPassedOver;
            }
        }
    } else if (!tables) {
        // Without the tables no horse has records this time.
        for (const std::string& kettoNum : horses)
            if (!common::PassOver(kComputationStep, [&] { ExRecordFile::OfHorse(kettoNum).MakeEmpty(); }))
                ++summary.horsesPassedOver;
    }

    Step(summary, [] { common::ClearStepMark(common::MarkedStep::Computation); });
    SetText3(controls, ComputationEndText(summary));
    return summary;
}

bool LastComputationUnfinished() {
    if (running) return false;  // the mark of the run working now
    return common::StepMarkStands(common::MarkedStep::Computation);
}

int ComputationThreads() { return common::UsableCores(); }

std::vector<std::string> MissingComputationFiles() {
    std::vector<std::string> missing;
    if (!Readable(common::JraCodePath(common::kCodeTableFile)))
        missing.push_back("JRACODE/" + std::string(common::kCodeTableFile));
    for (Surface s : kSurfaces)
        for (ModelFile f : ModelFilesOf(s)) {
            const std::string name = ModelFileName(s, f);
            if (!Readable(common::Option1nPath(name))) missing.push_back("OPTION1N/" + name);
        }
    return missing;
}

}  // namespace engine

#include "bench_week.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "acquisition/download_starter.h"
#include "acquisition/run_files.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/working_folders.h"
#include "engine/computation.h"
#include "dataservice/local_jvlink.h"
#include "engine/ex_record.h"
#include "generator.h"
#include "workbench/race_writer.h"
#include "common/day_files.h"
#include "workbench/batch_log.h"
#include "workbench/weekly_batch.h"

namespace bench {

namespace fs = std::filesystem;

TempAppFolder::TempAppFolder(std::string_view prefix) {
    std::string name = (fs::temp_directory_path() / prefix).string() + "-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("no temporary folder: " + name);
    path_ = name;
    Use();
}

TempAppFolder::~TempAppFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempAppFolder::Use() const { common::SetAppFolder(path_.string() + "/"); }

std::string Number(long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*ld", width, value);
    return buffer;
}

void Put(std::string& record, std::size_t at, std::string_view bytes) { record.replace(at - 1, bytes.size(), bytes); }

DemoWeek::DemoWeek(std::string_view prefix, Stage stage, bool after) : folder(prefix) {
    common::CreateWorkingFolders("bench");  // as the main menu's start-up makes them
    demoweek::Options options;
    options.folder = folder.Path();
    options.scale = demoweek::FullScale();
    options.state = after ? demoweek::WeekState::After : demoweek::WeekState::Before;
    demoweek::GenerateWeek(options);

    std::ofstream(folder / "jvlink.settings") << "pace=0\n";
    dataservice::LocalJVLink::Config config;
    config.settingsFile = folder / "jvlink.settings";
    dataservice::LocalJVLink link(std::move(config));
    QuietHost host;
    std::int32_t downloadCount = 0;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
    acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; });
    if (stage == Stage::Fetched) return;

    acquisition::BuildWeekStructures(host);
    horses = acquisition::ReadKeyList(common::AppPath(acquisition::kHorseList));
    if (stage == Stage::Built) return;

    engine::RunComputation(host);
}

std::int64_t ReadAndWriteSameBytes(const std::vector<std::string>& horses) {
    std::int64_t bytes = 0;
    std::string content;
    for (const std::string& h : horses) {
        const std::string runs = common::ReadFileBytes(acquisition::HorseRunFilePath(h));
        content.assign(runs.size() / 555 * engine::ExRecord::kLength, ' ');
        common::WriteFileAtomically(engine::ExRecordFile::OfHorse(h).Path(), content);
        bytes += static_cast<std::int64_t>(content.size());
    }
    return bytes;
}

namespace {

// Keeps a copy of every race state the batch hands its writers.
class Capture final : public workbench::RaceWriter {
public:
    explicit Capture(std::vector<workbench::RaceState>& races) : races_(races) {}
    void WriteRace(workbench::RaceContext& context) override { races_.push_back(context.race); }

private:
    std::vector<workbench::RaceState>& races_;
};

}  // namespace

std::vector<workbench::RaceState> CaptureRaceStates(common::Host& host) {
    std::vector<workbench::RaceState> races;
    const workbench::RaceWriterEntry capture[] = {{"Capture", [&] { return std::make_unique<Capture>(races); }}};
    workbench::WeeklyYosoBatch(host, capture);
    return races;
}

long RunWriters(const std::vector<const workbench::RaceWriterEntry*>& entries,
                const std::vector<workbench::RaceState>& races, const common::CodeTable& codes,
                const std::function<void(const workbench::RaceState&)>& after) {
    long failures = 0;
    workbench::BatchLog log;
    common::DayFiles dayFiles;
    workbench::DayTallies tallies;
    workbench::WriterNotes notes;
    std::vector<std::unique_ptr<workbench::RaceWriter>> made;
    for (const auto* entry : entries) made.push_back(entry->Make());
    for (const workbench::RaceState& race : races) {
        for (std::size_t w = 0; w < made.size(); ++w) {
            workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, entries[w]->Name};
            try {
                made[w]->WriteRace(context);
            } catch (...) {
                ++failures;
            }
        }
        if (after) after(race);
    }
    return failures;
}

}  // namespace bench

// How long the computation run (button ⑤) takes on the demo week at full scale: 96 races of 18
// runners with 65 past runs each, fetched through the stand-in and built into structures as the
// user does it. Measured next to it: merely reading every horse's run file and writing as many
// bytes as its expanded records take, through a scratch file and a rename, the floor that the file
// system sets.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "acquisition/download_starter.h"
#include "acquisition/run_files.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "common/host.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "dataservice/local_jvlink.h"
#include "engine/computation.h"
#include "engine/ex_record.h"
#include "generator.h"

namespace {

namespace fs = std::filesystem;

class QuietHost final : public common::Host {
public:
    void messageBox(std::string_view) override {}
    void setStatus(common::StatusBox, std::string_view) override {}
    void setLabelColour(std::uint32_t) override {}
    void pumpEvents() override {}
    std::chrono::year_month_day today() override { return common::LocalToday(); }
    void startProgram(const std::filesystem::path&) override {}
    void openUrl(std::string_view) override {}
};

struct FullWeek {
    fs::path folder;
    std::vector<std::string> horses;

    FullWeek() {
        char name[] = "/tmp/computation-bench-XXXXXX";
        folder = ::mkdtemp(name);
        common::SetAppFolder(folder.string() + "/");
        fs::create_directories(folder / "UMAGOTOEXTHISWEEKN");  // as the main menu's start-up makes it
        demoweek::Options options;
        options.folder = folder;
        options.scale = demoweek::FullScale();
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
        acquisition::BuildWeekStructures(host);
        horses = acquisition::ReadKeyList(common::AppPath(acquisition::kHorseList));
    }
    ~FullWeek() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

FullWeek& TheWeek() {
    static FullWeek week;
    common::SetAppFolder(week.folder.string() + "/");
    return week;
}

void BM_RunComputationFullWeek(benchmark::State& state) {
    TheWeek();
    QuietHost host;
    engine::ComputationSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();  // the last iteration's writes do not count against this one
        state.ResumeTiming();
        summary = engine::RunComputation(host);
    }
    state.counters["horses"] = static_cast<double>(summary.horses);
    state.counters["records"] = static_cast<double>(summary.records);
    state.counters["runsFailed"] = static_cast<double>(summary.runsFailed);
    state.counters["labelsBlank"] = static_cast<double>(summary.itemLabelsBlanked);
    state.counters["passedOver"] = static_cast<double>(summary.horsesPassedOver + summary.stepsPassedOver);
}
BENCHMARK(BM_RunComputationFullWeek)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same file traffic without any computing: each run file read whole, and the bytes of its
// expanded records written to the horse's expanded file through a scratch file and a rename.
void BM_ReadAndWriteSameBytes(benchmark::State& state) {
    FullWeek& week = TheWeek();
    std::string content;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        bytes = 0;
        for (const std::string& h : week.horses) {
            const std::string runs = acquisition::ReadExistingBytes(acquisition::HorseRunFilePath(h));
            content.assign(runs.size() / 555 * engine::ExRecord::kLength, ' ');
            common::WriteFileAtomically(engine::ExRecordFile::OfHorse(h).Path(), content);
            bytes += static_cast<std::int64_t>(content.size());
        }
    }
    state.counters["MBwritten"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ReadAndWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

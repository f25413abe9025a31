// How long the computation run (button ⑤) takes on the demo week at full scale (96 races of 18
// runners with 65 past runs each, fetched through the stand-in and built into structures as the
// user does it), next to its floor: merely reading every file the run reads and writing as many
// bytes as it writes to every file it writes, through a scratch file and a rename each. The two
// are measured in turns in one run, and the ratio is taken round by round, so that a machine
// that gets busier in between moves both alike.
//
//   computation_bench [--rounds N]
//
// The run uses the cores this process may run on: `taskset -c 0,1 computation_bench` measures
// it on two.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "acquisition/run_files.h"
#include "bench_week.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/computation.h"
#include "engine/ex_builder.h"
#include "engine/ex_record.h"
#include "engine/model_tables.h"
#include "engine/stats_records.h"
#include "engine/surface.h"
#include "records/week_record_file.h"

namespace {

namespace fs = std::filesystem;

struct FileTraffic {
    std::vector<fs::path> reads;
    std::vector<std::pair<fs::path, std::size_t>> writes;  // path and the bytes the run wrote there
    std::int64_t bytesRead = 0;
    std::int64_t bytesWritten = 0;
};

std::size_t SizeOf(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<std::size_t>(size);
}

// Every file the computation reads and writes, with the sizes the run just made.
FileTraffic TrafficOf(const std::vector<std::string>& horses) {
    FileTraffic t;
    const auto read = [&](const fs::path& p) {
        t.reads.push_back(p);
        t.bytesRead += static_cast<std::int64_t>(SizeOf(p));
    };
    const auto written = [&](const fs::path& p) {
        t.writes.emplace_back(p, SizeOf(p));
        t.bytesWritten += static_cast<std::int64_t>(SizeOf(p));
    };
    read(common::AppPath(acquisition::kDamList));
    read(common::Option1nPath(engine::kHahaumaFile));
    read(common::Option1nPath(engine::kHahaumaThisWeekFile));
    written(common::Option1nPath(engine::kHahaumaThisWeekFile));
    read(common::AppPath(acquisition::kHorseList));
    read(common::Option1nPath(engine::kKyosobaFile));
    read(common::Option1nPath(engine::kKyosobaThisWeekFile));
    written(common::Option1nPath(engine::kKyosobaThisWeekFile));
    read(common::AppPath(records::kUmThisWeekNew));
    read(common::Option1nPath(engine::kDamFoalFile));
    read(common::AppPath(records::kKsThisWeek));
    read(common::Option1nPath(engine::kSuppliedJockeyFile));
    read(common::AppPath(records::kRaThisWeekNew));
    for (engine::Surface s : engine::kSurfaces)
        for (engine::ModelFile f : engine::ModelFilesOf(s)) read(common::Option1nPath(engine::ModelFileName(s, f)));
    for (std::string_view name : {engine::kStallionFile, engine::kMareFile, engine::kKyosobaThisWeekFile,
                                  engine::kKishuSeiseiFile, engine::kChokyoSeiseiFile})
        read(common::Option1nPath(name));
    for (const std::string& h : horses) {
        read(acquisition::HorseRunFilePath(h));
        written(engine::ExRecordFile::OfHorse(h).Path());
    }
    return t;
}

// The floor: the same reads and as many bytes written to the same files, nothing computed.
void ReadAndWrite(const FileTraffic& t, std::string_view zeros) {
    for (const fs::path& p : t.reads) {
        const std::string bytes = common::ReadFileBytes(p);
        if (bytes.size() == 1) std::abort();  // keeps the read
    }
    for (const auto& [p, size] : t.writes) common::WriteFileAtomically(p, zeros.substr(0, size));
}

template <class F>
double Seconds(F&& f) {
    ::sync();  // the writes of what ran before do not count against this one
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 7;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: computation_bench [--rounds N]\n");
            return 2;
        }
    }

    bench::DemoWeek week("computation-bench", bench::DemoWeek::Stage::Built);
    bench::QuietHost host;
    // A first run makes every file, so that each round replaces files of the sizes it writes.
    const engine::ComputationSummary first = engine::RunComputation(host);
    if (!first.AllDone()) {
        std::fprintf(stderr, "the computation passed something over: %s\n", engine::ComputationEndText(first).c_str());
        return 1;
    }
    const FileTraffic traffic = TrafficOf(week.horses);
    std::size_t largest = 0;
    for (const auto& w : traffic.writes) largest = std::max(largest, w.second);
    const std::string zeros(largest, '\0');

    std::printf("computation on %d cores: %lld horses, %lld records; reads %.1f MB from %zu files, writes %.1f MB to %zu\n",
                engine::ComputationThreads(), static_cast<long long>(first.horses),
                static_cast<long long>(first.records), traffic.bytesRead / 1e6, traffic.reads.size(),
                traffic.bytesWritten / 1e6, traffic.writes.size());
    std::printf("%5s %12s %12s %7s\n", "round", "computation", "floor", "ratio");
    std::vector<double> computed, floors, ratios;
    for (int r = 1; r <= rounds; ++r) {
        double c = 0, f = 0;
        // Which goes first alternates: neither always finds the other's writes still going out.
        if (r % 2) {
            c = Seconds([&] { engine::RunComputation(host); });
            f = Seconds([&] { ReadAndWrite(traffic, zeros); });
        } else {
            f = Seconds([&] { ReadAndWrite(traffic, zeros); });
            c = Seconds([&] { engine::RunComputation(host); });
        }
        computed.push_back(c);
        floors.push_back(f);
        ratios.push_back(c / f);
        std::printf("%5d %10.3f s %10.3f s %7.2f\n", r, c, f, c / f);
    }
    std::printf("median %8.3f s %10.3f s %7.2f   (ratio: median of the rounds' ratios)\n", Median(computed),
                Median(floors), Median(ratios));
    return 0;
}

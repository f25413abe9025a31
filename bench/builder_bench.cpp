// How long building the expanded records takes on a full-scale week: 1700 horses with 65 past runs
// each (110 500 runs, 288 MB of expanded records), the races of those runs, this week's and the
// supplied jockeys and a dam-foal table. Measured next to it: loading the join tables alone, and
// merely reading every run file and writing the same number of bytes to every expanded file, the
// floor that the file system sets. Last, the demo week at full scale, fetched through the stand-in
// and built into its structures as the user does it, then expanded.

#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_week.h"
#include "engine/ex_builder.h"

namespace {

using bench::Number;
using bench::Put;

constexpr int kHorses = 1700;
constexpr int kRunsPerHorse = 65;
constexpr int kPastRaces = 8000;
constexpr int kWeekJockeys = 300;
constexpr int kSuppliedJockeys = 1000;

std::string Filled(std::size_t length, std::string_view recordSpec) {
    std::string r(length, 'x');
    Put(r, 1, recordSpec);
    Put(r, length - 1, "\r\n");
    return r;
}

// Race i: a date, a racecourse and a race number (1-based positions: Year 12, MonthDay 16,
// JyoCD 20, RaceNum 26).
struct RaceId {
    std::string year, monthDay, jyo, num;
};
RaceId PastRace(int i) {
    return {Number(2015 + i / 1000, 4), Number(101 + (i / 100) % 10 * 100 + i % 28, 4), Number(1 + i % 10, 2),
            Number(1 + i % 12, 2)};
}

void PutRace(std::string& r, const RaceId& race) {
    Put(r, 12, race.year);
    Put(r, 16, race.monthDay);
    Put(r, 20, race.jyo);
    Put(r, 22, "0102");
    Put(r, 26, race.num);
}

std::string Ketto(int h) { return Number(2018100000L + h, 10); }
std::string Dam(int h) { return Number(2005200000L + h / 4, 10); }
std::string Kisyu(int j) { return Number(1000 + j, 5); }

struct Week {
    bench::TempAppFolder folder{"builder-bench"};
    std::vector<std::string> horses;

    Week() {
        std::filesystem::create_directories(folder / "OPTION1N");
        std::filesystem::create_directories(folder / "UMAGOTOTHISWEEKN");
        std::filesystem::create_directories(folder / "UMAGOTOEXTHISWEEKN");
        std::mt19937 random(2024);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

        std::string ra;
        for (int i = 0; i < kPastRaces; ++i) {
            std::string r = Filled(1272, "RA");
            r[2] = '7';
            PutRace(r, PastRace(i));
            ra += r;
        }
        std::ofstream(folder / "RATHISWEEKNNEW.dat", std::ios::binary) << ra;

        std::string ks, supplied;
        for (int j = 0; j < kWeekJockeys + kSuppliedJockeys; ++j) {
            std::string r = Filled(4161, "KS");
            Put(r, 12, Kisyu(j));
            Put(r, 34, Number(19700101 + j % 28, 8));
            (j < kWeekJockeys ? ks : supplied) += r;
        }
        std::ofstream(folder / "KSTHISWEEKN.dat", std::ios::binary) << ks;
        std::ofstream(folder / "OPTION1N" / "KS20190101NEW.dat", std::ios::binary) << supplied;

        std::string um, foals;
        for (int h = 0; h < kHorses; ++h) {
            horses.push_back(Ketto(h));
            std::string r = Filled(1609, "UM");
            Put(r, 12, Ketto(h));
            Put(r, 251, Dam(h));
            um += r;
            if (h % 4 == 0)
                for (int f = 0; f < 8; ++f) foals += Dam(h) + (f < 4 ? Ketto(h + f) : Number(2010100000L + h + f, 10)) + "\r\n";
        }
        std::ofstream(folder / "UMTHISWEEKNNEW.dat", std::ios::binary) << um;
        std::ofstream(folder / "OPTION1N" / "HNSKOPTION1N.dat", std::ios::binary) << foals;

        for (int h = 0; h < kHorses; ++h) {
            std::string runs;
            for (int k = 0; k < kRunsPerHorse; ++k) {
                std::string r = Filled(555, "SE");
                // Every tenth horse ends with an older version of its run before: the order check drops it.
                const bool older = h % 10 == 0 && k == kRunsPerHorse - 1;
                Put(r, 4, Number(20150101 + (older ? k - 2 : k) * 100, 8));
                PutRace(r, PastRace(pick(kPastRaces + 200)));  // a few races are not in the table
                Put(r, 31, Ketto(h));
                Put(r, 297, Kisyu(pick(kWeekJockeys + kSuppliedJockeys + 50)));
                runs += r;
            }
            std::ofstream(folder / "UMAGOTOTHISWEEKN" / (Ketto(h) + ".dat"), std::ios::binary) << runs;
        }
    }
};

Week& TheWeek() {
    static Week week;
    week.folder.Use();
    return week;
}

void BM_BuildExRecords(benchmark::State& state) {
    Week& week = TheWeek();
    engine::ExBuildSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();  // last iteration's writes do not count against this one
        state.ResumeTiming();
        summary = engine::BuildExRecords(week.horses);
        benchmark::DoNotOptimize(summary);
    }
    state.counters["runs"] = static_cast<double>(summary.runs);
    state.counters["records"] = static_cast<double>(summary.records);
    state.counters["dropped"] = static_cast<double>(summary.lastRecordsDropped);
    state.counters["passedOver"] = static_cast<double>(summary.horsesPassedOver);
}
BENCHMARK(BM_BuildExRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadJoinTables(benchmark::State& state) {
    TheWeek();
    for (auto _ : state) {
        const engine::ExJoinTables tables = engine::ExJoinTables::Load();
        benchmark::DoNotOptimize(tables.HorseRows());
    }
}
BENCHMARK(BM_LoadJoinTables)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same reads and writes without the join: each run file read whole, and as many bytes as its
// expanded records take written to the expanded file through a scratch file and a rename.
void BM_ReadAndWriteSameBytes(benchmark::State& state) {
    Week& week = TheWeek();
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        benchmark::DoNotOptimize(bench::ReadAndWriteSameBytes(week.horses));
    }
}
BENCHMARK(BM_ReadAndWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildExRecordsDemoWeekFullScale(benchmark::State& state) {
    static bench::DemoWeek week("builder-demo", bench::DemoWeek::Stage::Built);
    week.folder.Use();
    engine::ExBuildSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        summary = engine::BuildExRecords(week.horses);
    }
    state.counters["horses"] = static_cast<double>(summary.horses);
    state.counters["runs"] = static_cast<double>(summary.runs);
    state.counters["records"] = static_cast<double>(summary.records);
    state.counters["dropped"] = static_cast<double>(summary.lastRecordsDropped);
}
BENCHMARK(BM_BuildExRecordsDemoWeekFullScale)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

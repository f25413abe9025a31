// How long the computation run (button ⑤) takes on the demo week at full scale: 96 races of 18
// runners with 65 past runs each, fetched through the stand-in and built into structures as the
// user does it. Measured next to it: merely reading every horse's run file and writing as many
// bytes as its expanded records take, through a scratch file and a rename, the floor that the file
// system sets.

#include <benchmark/benchmark.h>

#include <cstdint>

#include <unistd.h>

#include "bench_week.h"
#include "engine/computation.h"

namespace {

bench::DemoWeek& TheWeek() {
    static bench::DemoWeek week("computation-bench", bench::DemoWeek::Stage::Built);
    week.folder.Use();
    return week;
}

void BM_RunComputationFullWeek(benchmark::State& state) {
    TheWeek();
    bench::QuietHost host;
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
    bench::DemoWeek& week = TheWeek();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        bytes = bench::ReadAndWriteSameBytes(week.horses);
    }
    state.counters["MBwritten"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ReadAndWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

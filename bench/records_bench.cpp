// How long the record layer takes over a week's worth of records: decoding runner records and
// building their keys, reading them back from a week file, and reading a trifecta odds record.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench_week.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/odds.h"
#include "records/week_record_file.h"

namespace {

using namespace records;
using bench::Number;
using bench::Put;

constexpr int kWeekRunners = 200000;

// A week of runner records laid end to end, each 555 bytes with a name in Shift-JIS.
const std::string& WeekOfRunners() {
    static const std::string week = [] {
        std::string all;
        all.reserve(static_cast<std::size_t>(kWeekRunners) * 555);
        for (int i = 0; i < kWeekRunners; ++i) {
            std::string se(555, ' ');
            Put(se, 1, "SE7");
            Put(se, 4, "20250829");
            Put(se, 12, "20250831050203" + Number(i % 12 + 1, 2));
            Put(se, 29, Number(i % 18 + 1, 2));
            Put(se, 31, Number(2015100000 + i, 10));
            Put(se, 41, "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49");  // アイウエオ
            Put(se, 339, "1345");
            Put(se, 554, "\r\n");
            all += se;
        }
        return all;
    }();
    return week;
}

void DecodeWeekOfRunners(benchmark::State& state) {
    const std::string& week = WeekOfRunners();
    RecordSE rec;
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (std::size_t at = 0; at < week.size(); at += 555) {
            DecodeSE(std::string_view(week).substr(at, 555), rec);
            const std::string key = RunKey(rec);
            bytes += key.size() + rec.Get(se::KettoNum).size() + rec.Get(se::Time).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kWeekRunners);
}
BENCHMARK(DecodeWeekOfRunners)->Unit(benchmark::kMillisecond);

void DecodeWeekOfRunnersWithNames(benchmark::State& state) {
    const std::string& week = WeekOfRunners();
    RecordSE rec;
    for (auto _ : state) {
        std::size_t chars = 0;
        for (std::size_t at = 0; at < week.size(); at += 555) {
            DecodeSE(std::string_view(week).substr(at, 555), rec);
            chars += rec.Text(se::Bamei).size();
        }
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kWeekRunners);
}
BENCHMARK(DecodeWeekOfRunnersWithNames)->Unit(benchmark::kMillisecond);

void ReadWeekFileOfRunners(benchmark::State& state) {
    const bench::TempAppFolder folder("records-bench");
    const auto path = folder / "SETHISWEEKN.dat";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(WeekOfRunners().data(), 1, WeekOfRunners().size(), f);
        std::fclose(f);
    }
    const WeekFileSE file(path);
    for (auto _ : state) {
        std::size_t runs = 0;
        file.ForEach("bench", [&](std::int64_t, RecordView<LayoutSE> r) { runs += RunKey(r).size() == 30; });
        benchmark::DoNotOptimize(runs);
    }
    state.SetItemsProcessed(state.iterations() * kWeekRunners);
}
BENCHMARK(ReadWeekFileOfRunners)->Unit(benchmark::kMillisecond);

void ReadTrifectaOdds(benchmark::State& state) {
    std::string o6(83285, ' ');
    Put(o6, 1, "O61");
    for (int i = 0; i < LayoutO6::kEntryCount; ++i)
        Put(o6, 41 + static_cast<std::size_t>(i) * 17,
              Number(i % 18 + 1, 2) + Number(i / 18 % 18 + 1, 2) + Number(i / 324 + 1, 2) +
                  Number(i + 10, 7) + Number(i + 1, 4));
    RecordO6 rec;
    for (auto _ : state) {
        DecodeO6(o6, rec);
        double sum = 0;
        for (int i = 0; i < LayoutO6::kEntryCount; ++i)
            sum += KumiNumber(rec.Get(kOddsKumi<LayoutO6>, i), 2) + OddsValue(rec.Get(kOddsOdds<LayoutO6>, i));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ReadTrifectaOdds)->Unit(benchmark::kMicrosecond);

}  // namespace

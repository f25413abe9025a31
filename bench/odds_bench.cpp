// How long the odds tables of a full week take: 96 races with full-length quinella, exacta, trio
// and trifecta records in this week's odds files, every table of every race built and written.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "acquisition/odds_tables.h"
#include "bench_week.h"

namespace {

using bench::Number;
using bench::Put;

constexpr int kWeekRaces = 96;

struct Kind {
    const char* tag;
    const char* file;
    int horses;     // 2 or 3 per combination
    bool ordered;   // every order (exacta, trifecta) or ascending only
    int oddsWidth;  // 6, or 7 for the trifecta
    int ninkiWidth;
    int length;
};

constexpr Kind kKinds[] = {
    {"O2", "O2THISWEEKN.dat", 2, false, 6, 3, 2042},
    {"O4", "O4THISWEEKN.dat", 2, true, 6, 3, 4031},
    {"O5", "O5THISWEEKN.dat", 3, false, 6, 3, 12293},
    {"O6", "O6THISWEEKN.dat", 3, true, 7, 4, 83285},
};

// One race's full record of a kind: every combination of 18 horses, odds that vary by entry.
std::string FullRecord(const Kind& kind, int race) {
    std::string r(static_cast<std::size_t>(kind.length), ' ');
    Put(r, 1, kind.tag);
    Put(r, 3, "1");
    Put(r, 4, "20261210");
    const int day = 1 + race / 36, course = 5 + (race / 12) % 3, number = 1 + race % 12;
    Put(r, 12, "202612" + Number(day, 2) + Number(course, 2) + "0102" + Number(number, 2));
    Put(r, static_cast<std::size_t>(kind.length) - 1, "\r\n");
    std::size_t at = 41;
    long entry = 0;
    auto put = [&](std::string kumi) {
        Put(r, at, kumi);
        Put(r, at + kumi.size(), Number(10 + (entry * 7919 + race * 31) % 999990, kind.oddsWidth));
        Put(r, at + kumi.size() + static_cast<std::size_t>(kind.oddsWidth), Number(entry % 9999 + 1, kind.ninkiWidth));
        at += kumi.size() + static_cast<std::size_t>(kind.oddsWidth + kind.ninkiWidth);
        ++entry;
    };
    for (int a = 1; a <= 18; ++a)
        for (int b = 1; b <= 18; ++b) {
            if (b == a || (!kind.ordered && b < a)) continue;
            if (kind.horses == 2) {
                put(Number(a, 2) + Number(b, 2));
                continue;
            }
            for (int c = 1; c <= 18; ++c)
                if (c != a && c != b && (kind.ordered || c > b)) put(Number(a, 2) + Number(b, 2) + Number(c, 2));
        }
    return r;
}

// A temporary application folder with a full week's odds files, removed at the end.
class WeekOfOdds {
public:
    WeekOfOdds() {
        std::filesystem::create_directories(folder_ / "KAIME");
        for (const Kind& kind : kKinds) {
            std::ofstream out(folder_ / kind.file, std::ios::binary | std::ios::trunc);
            for (int race = 0; race < kWeekRaces; ++race) out << FullRecord(kind, race);
        }
    }

private:
    bench::TempAppFolder folder_{"talmor-odds-bench"};
};

void BuildOddsTablesOfAFullWeek(benchmark::State& state) {
    WeekOfOdds week;
    for (auto _ : state) {
        const acquisition::OddsTablesResult result = acquisition::BuildOddsTables(acquisition::kOddsSourceThisWeek);
        if (result.written != 4 * kWeekRaces) state.SkipWithError("not every table was written");
        benchmark::DoNotOptimize(result);
    }
    state.counters["tables"] = 4 * kWeekRaces;
}
BENCHMARK(BuildOddsTablesOfAFullWeek)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

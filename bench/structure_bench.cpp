// How long structure building takes on a full-scale week: 96 races of 18 runners, each runner
// with 65 past runs, so about 115 000 runner records and the races of all those runs, arriving
// shuffled and with repeats. Measured: the whole BuildWeekStructures on a week without run files,
// and the per-horse pass alone run again over the same files (as race cancellation does right
// after structure building, when few files change).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "common/record_file.h"
#include "acquisition/run_files.h"
#include "acquisition/structure_building.h"
#include "bench_week.h"

namespace {

namespace fs = std::filesystem;
using bench::Number;
using bench::Put;

constexpr int kRaces = 96;
constexpr int kRunners = 18;
constexpr int kPastRuns = 65;

// Field positions (1-based): head 1-11, race identifier 12-27; SE Umaban 29, KettoNum 31;
// UM KettoNum 12, dam HansyokuNum 251.
std::string Record(std::size_t length, std::string_view spec, char kubun, std::string_view made) {
    std::string r(length, ' ');
    Put(r, 1, spec);
    r[2] = kubun;
    Put(r, 4, made);
    Put(r, length - 1, "\r\n");
    return r;
}

struct Race {
    std::string date, jyo, num;
    bool operator<(const Race& o) const { return std::tie(date, jyo, num) < std::tie(o.date, o.jyo, o.num); }
};

std::string Ra(char kubun, const Race& race, std::string_view made) {
    std::string r = Record(1272, "RA", kubun, made);
    Put(r, 12, race.date);
    Put(r, 20, race.jyo);
    Put(r, 22, "0102");
    Put(r, 26, race.num);
    return r;
}

std::string Se(char kubun, const Race& race, int umaban, std::string_view ketto, std::string_view made) {
    std::string r = Record(555, "SE", kubun, made);
    Put(r, 12, race.date);
    Put(r, 20, race.jyo);
    Put(r, 22, "0102");
    Put(r, 26, race.num);
    Put(r, 29, Number(umaban, 2));
    Put(r, 31, ketto);
    return r;
}

// A day of the past as yyyymmdd, `weeks` weekends back from 2024-10-12, roughly.
std::string PastDate(int weeks, int sunday) {
    int day = 12 - 7 * weeks - sunday;
    int month = 10, year = 2024;
    while (day < 1) {
        day += 28;
        if (--month < 1) {
            month = 12;
            --year;
        }
    }
    return Number(year, 4) + Number(month, 2) + Number(day, 2);
}

struct Week {
    bench::TempAppFolder folder{"structure-bench"};
    std::string ra, se, um;
    long seRecords = 0, raRecords = 0;

    Week() {
        fs::create_directories(folder / "OPTION1N");
        std::ofstream(folder / "OPTION1N" / "KYOSOBA.dat") << "weights";

        std::mt19937 random(2024);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const char* courses[] = {"05", "06", "08", "09"};
        std::vector<std::string> ses, ras, ums;
        std::set<Race> pastRaces;
        long horse = 0;
        for (int r = 0; r < kRaces; ++r) {
            const Race race{r < kRaces / 2 ? "20241012" : "20241013", courses[(r / 12) % 4], Number(r % 12 + 1, 2)};
            ras.push_back(Ra('1', race, "20241009"));
            ras.push_back(Ra('2', race, "20241010"));
            for (int u = 1; u <= kRunners; ++u) {
                const std::string ketto = "2019" + Number(++horse, 6);
                ses.push_back(Se('1', race, u, ketto, "20241009"));  // filtered out
                ses.push_back(Se('2', race, u, ketto, "20241010"));
                if (pick(10) == 0) ses.push_back(Se('2', race, u, ketto, "20241010"));  // arrived twice
                std::string um = Record(1609, "UM", '1', "20241010");
                Put(um, 12, ketto);
                Put(um, 251, "10" + Number(pick(900), 8));
                ums.push_back(um);
                if (pick(20) == 0) ums.push_back(um);
                for (int p = 1; p <= kPastRuns; ++p) {
                    const Race past{PastDate(p * 2 + pick(2), pick(2)), Number(1 + pick(10), 2), Number(1 + pick(12), 2)};
                    pastRaces.insert(past);
                    ses.push_back(Se('7', past, 1 + pick(18), ketto, "20200101"));
                }
            }
        }
        for (const Race& race : pastRaces) ras.push_back(Ra('7', race, "20200101"));
        std::shuffle(ses.begin(), ses.end(), random);
        std::shuffle(ras.begin(), ras.end(), random);
        std::shuffle(ums.begin(), ums.end(), random);
        for (const auto& s : ses) se += s;
        for (const auto& r : ras) ra += r;
        for (const auto& u : ums) um += u;
        seRecords = static_cast<long>(ses.size());
        raRecords = static_cast<long>(ras.size());
        Write("RATHISWEEKN.dat", ra);
        Write("SETHISWEEKN.dat", se);
        Write("UMTHISWEEKN.dat", um);
    }
    void Write(const char* name, const std::string& bytes) const {
        std::ofstream(folder / name, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
};

Week& TheWeek() {
    static Week week;
    return week;
}

void BM_BuildWeekStructures(benchmark::State& state) {
    Week& week = TheWeek();
    week.folder.Use();
    bench::QuietHost host;
    acquisition::StructureSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        week.Write("SETHISWEEKN.dat", week.se);  // the filter rewrote it
        fs::remove_all(week.folder / "UMAGOTOTHISWEEKN");  // every run file is new, as in a new week
        // Each run starts with the last one's writes on disk, as a click of the button once in a
        // while does; back to back, the page cache's write-back would throttle the next run.
        ::sync();
        state.ResumeTiming();
        summary = acquisition::BuildWeekStructures(host);
    }
    state.counters["ra_in"] = static_cast<double>(summary.raceRecords);
    state.counters["se_in"] = static_cast<double>(summary.runnerRecords);
    state.counters["se_sorted"] = static_cast<double>(summary.runners);
    state.counters["horses"] = static_cast<double>(summary.horses);
    state.counters["run_files"] = static_cast<double>(summary.runFiles.filesWritten);
    state.counters["pumps_per_run"] = static_cast<double>(host.pumps) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BuildWeekStructures)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RebuildHorseRunFiles(benchmark::State& state) {
    TheWeek().folder.Use();
    bench::QuietHost host;
    acquisition::BuildWeekStructures(host);  // the sorted runner file and the horse list
    acquisition::RunFileSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        summary = acquisition::RebuildHorseRunFiles(host, "bench");
    }
    state.counters["records"] = static_cast<double>(summary.runnerRecords);
    state.counters["files"] = static_cast<double>(summary.filesWritten);
}
BENCHMARK(BM_RebuildHorseRunFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

// The demo week at full scale, fetched through the stand-in: structure building of what the
// weekly fetch leaves, as the user runs it.
struct FetchedDemoWeek {
    bench::DemoWeek demo{"structure-demo", bench::DemoWeek::Stage::Fetched};
    std::string se = common::ReadFileBytes(demo.folder / "SETHISWEEKN.dat");  // the filter rewrites it
};

void BM_BuildDemoWeekFullScale(benchmark::State& state) {
    static FetchedDemoWeek week;
    week.demo.folder.Use();
    bench::QuietHost host;
    acquisition::StructureSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(week.demo.folder / "SETHISWEEKN.dat", std::ios::binary | std::ios::trunc)
            .write(week.se.data(), static_cast<std::streamsize>(week.se.size()));
        fs::remove_all(week.demo.folder / "UMAGOTOTHISWEEKN");
        ::sync();
        state.ResumeTiming();
        summary = acquisition::BuildWeekStructures(host);
    }
    state.counters["ra_in"] = static_cast<double>(summary.raceRecords);
    state.counters["se_in"] = static_cast<double>(summary.runnerRecords);
    state.counters["horses"] = static_cast<double>(summary.horses);
    state.counters["run_files"] = static_cast<double>(summary.runFiles.filesWritten);
}
BENCHMARK(BM_BuildDemoWeekFullScale)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

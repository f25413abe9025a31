// How long the weekly batch (button ⑥) takes on the demo week at full scale: 96 races of 18
// runners with 65 past runs each, fetched, built into structures and computed as the user does
// it, before the races (prediction mode) and after the results (result mode). Measured next to it:
// merely reading the input bytes the batch reads (the race, runner and payout files, the code
// table, each runner's newest 65 expanded records) and writing the bytes it writes (the three week
// files, every runner file, each race's KAIME files and betting files) through scratch files and
// renames, the floor that the file system sets. The time spent in each of the eleven writers is
// counted on its own.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench_week.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/ex_record.h"
#include "records/week_record_file.h"
#include "workbench/race_horse_record.h"
#include "workbench/race_list.h"
#include "workbench/weekly_batch.h"
#include "writers/race_writers.h"

namespace {

namespace fs = std::filesystem;

bench::DemoWeek& Week(bool after) {
    static bench::DemoWeek before("batch-bench-before", bench::DemoWeek::Stage::Computed, false);
    static bench::DemoWeek results("batch-bench-after", bench::DemoWeek::Stage::Computed, true);
    bench::DemoWeek& week = after ? results : before;
    week.folder.Use();
    return week;
}

// The files the batch writes, with their sizes as its last run left them.
struct Written {
    std::vector<std::pair<fs::path, std::uintmax_t>> files;
};

Written WrittenByTheBatch(const bench::DemoWeek& week, const workbench::WeekBatch& batch) {
    Written w;
    for (const char* name : {"RACETHISWEEKN.dat", "RACETHISWEEKNSYOSAI.dat", "SOKUDO/RACEID.txt"})
        w.files.emplace_back(week.folder / name, fs::file_size(week.folder / name));
    for (const auto& entry : fs::directory_iterator(week.folder / "RACE"))
        w.files.emplace_back(entry.path(), entry.file_size());
    // Each race's KAIME files (not the odds tables beside them) and the betting files.
    for (std::size_t r = 1; r < batch.RaceKeyList.size(); ++r)
        for (const char* suffix : {".dat", "SORT.dat", "LUPSORT.dat", "UMARENSORT.dat", "UMATANSORT.dat",
                                   "SANRENSORT.dat", "SANRENTANSORT.dat"}) {
            const fs::path file = week.folder / ("KAIME/" + batch.RaceKeyList[r] + suffix);
            if (fs::exists(file)) w.files.emplace_back(file, fs::file_size(file));
        }
    for (const char* kind : {"UMAREN", "WIDE", "UMATAN", "SANRENPUKU", "SANRENTAN"})
        for (const auto& entry : fs::directory_iterator(week.folder / kind))
            w.files.emplace_back(entry.path(), entry.file_size());
    return w;
}

// Reads the last `tail` bytes of a file (all of it when tail is 0) through one reused buffer of
// 1 MB, with nothing else around it: fresh memory costs more than the reading here.
std::int64_t ReadTail(const fs::path& path, std::size_t tail, std::string& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st {};
    ::fstat(fd, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    const std::size_t want = tail == 0 ? size : std::min(size, tail);
    buffer.resize(std::size_t{1} << 20);
    std::int64_t done = 0;
    for (std::size_t at = size - want; at < size;) {
        const ssize_t got = ::pread(fd, buffer.data(), std::min(buffer.size(), size - at), static_cast<off_t>(at));
        if (got <= 0) break;
        at += static_cast<std::size_t>(got);
        done += got;
    }
    ::close(fd);
    return done;
}

std::int64_t ReadAndWriteSameBytes(const bench::DemoWeek& week, const Written& written) {
    std::int64_t bytes = 0;
    std::string buffer;
    for (std::string_view name : {records::kRaThisWeekNew, records::kHrThisWeek, records::kSeThisWeekNew,
                                  std::string_view("JRACODE/CodeTable.csv")})
        bytes += ReadTail(common::AppPath(name), 0, buffer);
    // Each runner's newest 65 expanded records, this week's run being its last.
    for (const std::string& horse : week.horses)
        bytes += ReadTail(engine::ExRecordFile::OfHorse(horse).Path(), workbench::kRunElements * engine::ExRecord::kLength,
                          buffer);
    std::string content;
    for (const auto& [path, size] : written.files) {
        content.assign(static_cast<std::size_t>(size), ' ');
        common::WriteFileAtomically(path, content);
        bytes += static_cast<std::int64_t>(size);
    }
    return bytes;
}

// The program's writers, each wrapped so that the time it spends adds up under its name.
using WriterTimes = std::array<std::chrono::nanoseconds, writers::kRaceWriterCount>;

class TimedWriter final : public workbench::RaceWriter {
public:
    TimedWriter(std::unique_ptr<workbench::RaceWriter> writer, std::chrono::nanoseconds& spent)
        : writer_(std::move(writer)), spent_(spent) {}
    void WriteRace(workbench::RaceContext& context) override {
        const auto start = std::chrono::steady_clock::now();
        try {
            writer_->WriteRace(context);
        } catch (...) {
            spent_ += std::chrono::steady_clock::now() - start;
            throw;
        }
        spent_ += std::chrono::steady_clock::now() - start;
    }

private:
    std::unique_ptr<workbench::RaceWriter> writer_;
    std::chrono::nanoseconds& spent_;
};

std::vector<workbench::RaceWriterEntry> TimedWriters(WriterTimes& times) {
    std::vector<workbench::RaceWriterEntry> table;
    for (std::size_t i = 0; i < writers::kRaceWriters.size(); ++i) {
        const workbench::RaceWriterEntry& entry = writers::kRaceWriters[i];
        workbench::RaceWriterEntry timed{entry.Name, {}};
        if (entry.Make)
            timed.Make = [&entry, &spent = times[i]] { return std::make_unique<TimedWriter>(entry.Make(), spent); };
        table.push_back(std::move(timed));
    }
    return table;
}

void BM_WeeklyYosoBatch(benchmark::State& state) {
    Week(state.range(0) == 1);
    bench::QuietHost host;
    workbench::WeekBatch batch;
    WriterTimes times{};
    const std::vector<workbench::RaceWriterEntry> table = TimedWriters(times);
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();  // the last iteration's writes do not count against this one
        state.ResumeTiming();
        batch = workbench::WeeklyYosoBatch(host, table);
    }
    // Milliseconds per run of the batch in each writer; a writer not built yet shows as such.
    std::string notBuilt;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].Make) {
            notBuilt += " " + std::string(table[i].Name);
            continue;
        }
        state.counters[std::string(table[i].Name) + "_ms"] =
            std::chrono::duration<double, std::milli>(times[i]).count() / static_cast<double>(state.iterations());
    }
    if (!notBuilt.empty()) std::cerr << "writers not built yet:" << notBuilt << '\n';
    state.counters["resultMode"] = batch.ResultMode;
    state.counters["races"] = static_cast<double>(batch.WeekRaceCount);
    state.counters["noRuns"] = static_cast<double>(batch.RunnersWithoutRuns);
    state.counters["passedOver"] = static_cast<double>(batch.RacesPassedOver + batch.StepsPassedOver);
}
BENCHMARK(BM_WeeklyYosoBatch)->ArgName("after")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadAndWriteSameBytes(benchmark::State& state) {
    bench::DemoWeek& week = Week(state.range(0) == 1);
    bench::QuietHost host;
    // the files the batch writes, and their sizes
    const Written written = WrittenByTheBatch(week, workbench::WeeklyYosoBatch(host, writers::kRaceWriters));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        bytes = ReadAndWriteSameBytes(week, written);
    }
    state.counters["MBmoved"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ReadAndWriteSameBytes)->ArgName("after")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

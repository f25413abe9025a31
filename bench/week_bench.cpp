// The whole week step by step, each step next to its floor. The demo week (full scale after the
// results, four past weeks stored, unless told otherwise) is generated once into a scratch folder;
// every run copies it afresh and runs the chain through the calls weekrun makes:
//   fetch structures cancel dayfix compute odds odds-tables batch breaking-payouts past-scan
//   index-rebuild hit-list
// (past-scan lists the stored days that the index rebuild goes through, as the past-results
// window's load runs the two.)
// Right after each step its floor is measured: one thread reading, whole, the files the step reads
// (listed per step below, from the code) and writing files of the sizes the step wrote (every file
// it changed or created, found by comparing the folder before and after it) through scratch files
// and renames, computing nothing. The floor writes into a mirror folder, not over the step's files.
//
//   week_bench [--disk DIR] [--cores N] [--runs N] [--before] [--small] [--past-weeks N]
//              [--digest FILE] [--steps]
//
// --disk DIR   the scratch folder goes under DIR (default /dev/shm, a tmpfs)
// --cores N    pins the process to N of the cores it may use (sched_setaffinity); the computation
//              uses as many threads as it has cores
// --runs N     warm runs of the whole chain (default 3); medians are printed
// --before     the week before the races (default: after the results)
// --small      the small test week (default: full scale, 96 races of 18 runners)
// --digest FILE  writes the sha256 of every file of the folder after the last run, sorted by
//              name, so that two builds can be shown to write the same bytes
// --steps      also prints every file each step wrote, with its size

#include <fnmatch.h>
#include <sched.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/cores.h"
#include "common/paths.h"
#include "common/process_memory.h"
#include "common/working_folders.h"
#include "console_host.h"
#include "generator.h"
#include "steps.h"

namespace {

namespace fs = std::filesystem;

// What each step reads, as patterns of paths under the application folder (fnmatch, `*` crossing
// folders). From the code of each step; a pattern that matches nothing costs nothing.
struct StepInputs {
    const char* step;
    std::vector<const char*> patterns;
};

const std::vector<StepInputs>& Inputs() {
    static const std::vector<StepInputs> inputs = {
        {"fetch", {"jvdata/stored/TOKU/*", "jvdata/stored/RACE/*", "jvdata/stored/TCVN/*", "jvdata/stored/RCVN/*"}},
        // Both read the run files already there, to leave alone those that hold their runs.
        {"structures", {"RATHISWEEKN.dat", "SETHISWEEKN.dat", "UMTHISWEEKN.dat", "UMAGOTOTHISWEEKN/*"}},
        // The working runner copy it has just rebuilt is not read again.
        {"cancel",
         {"RATHISWEEKNNEW.dat", "jvdata/realtime/0B12/*", "RARIALTIME.dat", "SERIALTIME.dat", "RATHISWEEKNNEWd.dat",
          "SETHISWEEKNNEWd.dat", "KETTONUMTHISWEEKN.dat", "UMAGOTOTHISWEEKN/*"}},
        {"dayfix", {"KETTONUMTHISWEEKN.dat", "UMAGOTOTHISWEEKN/*", "RATHISWEEKNNEW.dat", "HRTHISWEEKN.dat"}},
        {"compute",
         {"HAHAHANNUMTHISWEEKN.dat", "KETTONUMTHISWEEKN.dat", "UMTHISWEEKNNEW.dat", "KSTHISWEEKN.dat",
          "RATHISWEEKNNEW.dat", "OPTION1N/*", "UMAGOTOTHISWEEKN/*"}},
        {"odds", {"jvdata/stored/TOKU/*", "jvdata/stored/RACE/*", "jvdata/stored/TCOV/*", "jvdata/stored/RCOV/*"}},
        {"odds-tables", {"O?THISWEEKN.dat"}},
        {"batch",
         {"RATHISWEEKNNEW.dat", "SETHISWEEKNNEW.dat", "HRTHISWEEKN.dat", "UMTHISWEEKNNEW.dat", "KETTONUMTHISWEEKN.dat",
          "UMAGOTOEXTHISWEEKN/*", "KAIME/*", "JRACODE/*", "OPTION1N/*"}},
        {"breaking-payouts",
         {"jvdata/realtime/*", "RATHISWEEKN.dat", "RATHISWEEKNNEW.dat", "*RIALTIME.dat", "RACE/*"}},
        {"past-scan", {"TEKICHU/*"}},
        // The day reports of the listed days (the demo week stores reports of those days only).
        {"index-rebuild", {"TEKICHU/RACEIDYMDLKN.txt", "TEKICHU/*lupRCM.txt"}},
        // Of JRACODE only the code table.
        {"hit-list", {"TEKICHU/*lupRCM.txt", "JRACODE/CodeTable.csv"}},
    };
    return inputs;
}

struct FileMark {
    std::uintmax_t size = 0;
    std::int64_t mtime = 0;
    ino_t inode = 0;
    bool operator==(const FileMark&) const = default;
};
using Snapshot = std::map<std::string, FileMark>;  // path under the folder -> its mark

Snapshot Take(const fs::path& root) {
    Snapshot s;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        struct stat st {};
        if (::stat(e.path().c_str(), &st) != 0) continue;
        s[fs::relative(e.path(), root).string()] = {static_cast<std::uintmax_t>(st.st_size),
                                                    st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, st.st_ino};
    }
    return s;
}

struct Traffic {
    std::vector<std::pair<std::string, std::uintmax_t>> reads, writes;
    std::uintmax_t bytesRead = 0, bytesWritten = 0;
};

Traffic TrafficOf(const std::string& step, const Snapshot& before, const Snapshot& after) {
    Traffic t;
    for (const StepInputs& in : Inputs()) {
        if (step != in.step) continue;
        for (const auto& [path, mark] : before)
            for (const char* pattern : in.patterns)
                if (::fnmatch(pattern, path.c_str(), 0) == 0) {
                    t.reads.emplace_back(path, mark.size);
                    t.bytesRead += mark.size;
                    break;
                }
    }
    for (const auto& [path, mark] : after) {
        const auto old = before.find(path);
        if (old != before.end() && old->second == mark) continue;
        t.writes.emplace_back(path, mark.size);
        t.bytesWritten += mark.size;
    }
    return t;
}

void Fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

// The floor of a step: its reads and writes with plain system calls into one reused buffer, the
// writes into `mirror` (each through a scratch file and a rename, as the program writes).
void ReadAndWrite(const fs::path& app, const fs::path& mirror, const Traffic& t, std::vector<char>& buffer) {
    for (const auto& [path, size] : t.reads) {
        const int fd = ::open((app / path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) Fail("open " + path);
        if (buffer.size() < size + 1) buffer.resize(size + 1);
        std::size_t got = 0;
        for (ssize_t n; (n = ::read(fd, buffer.data() + got, buffer.size() - got)) > 0;) got += static_cast<std::size_t>(n);
        ::close(fd);
    }
    for (const auto& [path, size] : t.writes) {
        const fs::path target = mirror / path;
        const std::string scratch = target.string() + ".partial";
        const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) Fail("open " + scratch);
        if (buffer.size() < size) buffer.resize(size);
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(fd, buffer.data() + done, size - done);
            if (n <= 0) Fail("write " + scratch);
            done += static_cast<std::size_t>(n);
        }
        if (::close(fd) != 0) Fail("close " + scratch);
        if (::rename(scratch.c_str(), target.c_str()) != 0) Fail("rename " + scratch);
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <class F>
double Milliseconds(F&& f) {
    ::sync();  // what ran before does not count against this one (on a disk)
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void PinTo(int cores) {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0) Fail("sched_getaffinity");
    cpu_set_t pinned;
    CPU_ZERO(&pinned);
    int taken = 0;
    for (int c = 0; c < CPU_SETSIZE && taken < cores; ++c)
        if (CPU_ISSET(c, &allowed)) {
            CPU_SET(c, &pinned);
            ++taken;
        }
    if (::sched_setaffinity(0, sizeof pinned, &pinned) != 0) Fail("sched_setaffinity");
}

const char* const kChain[] = {"fetch", "structures", "cancel", "dayfix", "compute", "odds", "odds-tables", "batch",
                              "breaking-payouts", "past-scan", "index-rebuild", "hit-list"};

}  // namespace

int main(int argc, char** argv) {
    common::KeepFreedMemoryForReuse();  // as the program does
    fs::path under = "/dev/shm";
    int cores = 0, runs = 3, pastWeeks = 4;
    bool before = false, small = false, listWrites = false;
    std::string digest;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--disk" && value) under = argv[++i];
        else if (a == "--cores" && value) cores = std::max(1, std::atoi(argv[++i]));
        else if (a == "--runs" && value) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--past-weeks" && value) pastWeeks = std::clamp(std::atoi(argv[++i]), 0, 60);
        else if (a == "--digest" && value) digest = argv[++i];
        else if (a == "--before") before = true;
        else if (a == "--small") small = true;
        else if (a == "--steps") listWrites = true;
        else {
            std::fprintf(stderr,
                         "usage: week_bench [--disk DIR] [--cores N] [--runs N] [--before] [--small] [--past-weeks N] "
                         "[--digest FILE] [--steps]\n");
            return 2;
        }
    }
    if (cores > 0) PinTo(cores);

    std::string rootName = (under / "week-bench-XXXXXX").string();
    if (::mkdtemp(rootName.data()) == nullptr) Fail("mkdtemp " + rootName);
    const fs::path root = rootName;
    const fs::path pristine = root / "week", app = root / "app", mirror = root / "floor";

    demoweek::Options options;
    options.folder = pristine;
    options.scale = small ? demoweek::SmallScale() : demoweek::FullScale();
    options.state = before ? demoweek::WeekState::Before : demoweek::WeekState::After;
    options.pastWeeks = pastWeeks;
    fs::create_directories(pristine);
    common::SetAppFolder(pristine.string() + "/");
    common::CreateWorkingFolders("week_bench");  // as the main menu's start-up makes them
    {
        const auto start = std::chrono::steady_clock::now();
        demoweek::GenerateWeek(options);
        std::printf("week: %s, %s, %d past weeks, generated in %.1f s in %s; %d cores\n", small ? "small" : "full scale",
                    before ? "before the races" : "after the results", pastWeeks,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), root.c_str(),
                    common::UsableCores());
    }

    std::map<std::string, std::vector<double>> stepMs, floorMs, ratios;
    std::vector<double> weekMs, weekFloor;
    std::vector<char> buffer;
    for (int run = 1; run <= runs; ++run) {
        fs::remove_all(app);
        fs::remove_all(mirror);
        fs::copy(pristine, app, fs::copy_options::recursive);
        common::SetAppFolder(app.string() + "/");
        weekrun::Options().settingsFile = app / "JVLINKSETTINGS.txt";
        std::ostringstream sink;
        weekrun::ConsoleHost host(sink, true, sink);
        double week = 0, floor = 0;
        for (const char* name : kChain) {
            const weekrun::Step* step = weekrun::FindStep(name);
            if (!step) throw std::logic_error(std::string("no step ") + name);
            const Snapshot snapBefore = Take(app);
            weekrun::StepOutcome outcome;
            const double ms = Milliseconds([&] { outcome = step->run(host); });
            if (!outcome.plain) std::fprintf(stderr, "week_bench: %s ended with: %s\n", name, outcome.endText.c_str());
            const Traffic t = TrafficOf(name, snapBefore, Take(app));
            for (const auto& [path, size] : t.writes) fs::create_directories((mirror / path).parent_path());
            const double f = Milliseconds([&] { ReadAndWrite(app, mirror, t, buffer); });
            if (run == 1 && listWrites) {
                std::printf("%s reads %zu files (%.1f MB), writes %zu files (%.1f MB)\n", name, t.reads.size(),
                            t.bytesRead / 1e6, t.writes.size(), t.bytesWritten / 1e6);
                for (const auto& [path, size] : t.writes) std::printf("    %s %ju\n", path.c_str(), size);
            }
            stepMs[name].push_back(ms);
            floorMs[name].push_back(f);
            ratios[name].push_back(ms / f);
            week += ms;
            floor += f;
        }
        weekMs.push_back(week);
        weekFloor.push_back(floor);
        if (fs::exists(app / "ERRORLOG.txt") && fs::file_size(app / "ERRORLOG.txt") > 0)
            std::fprintf(stderr, "week_bench: run %d: ERRORLOG.txt holds entries\n", run);
    }

    std::printf("%-17s %9s %9s %9s   (medians of %d runs, ms)\n", "step", "ms", "floor", "ratio", runs);
    for (const char* name : kChain)
        std::printf("%-17s %9.1f floor %9.1f ratio %6.2f\n", name, Median(stepMs[name]), Median(floorMs[name]),
                    Median(ratios[name]));
    std::printf("%-17s %9.1f floor %9.1f ratio %6.2f\n", "week", Median(weekMs), Median(weekFloor),
                Median(weekMs) / Median(weekFloor));

    int status = 0;
    if (!digest.empty()) {
        const std::string command = std::string(WEEK_DIGEST_SCRIPT) + " '" + app.string() + "' > '" + digest + "'";
        status = std::system(command.c_str()) == 0 ? 0 : 1;
        if (status) std::fprintf(stderr, "week_bench: the digest failed\n");
    }
    fs::remove_all(root);
    return status;
}

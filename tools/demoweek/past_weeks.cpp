#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "common/paths.h"
#include "common/record_file.h"
#include "console_host.h"
#include "generator.h"
#include "rng.h"
#include "steps.h"

// The weeks before the demo week, run after their results through the program's own steps, so
// that the history windows find stored days.
namespace demoweek {

namespace fs = std::filesystem;

namespace {

// The application folder and the stand-in's settings point at the scratch folder while its week
// runs, and back afterwards, whatever happens; what the steps print goes to a sink meanwhile.
class RunIn {
public:
    explicit RunIn(const fs::path& folder, std::ostream& sink)
        : app_(common::AppFolder()), settings_(weekrun::Options().settingsFile), out_(std::cout.rdbuf(sink.rdbuf())),
          err_(std::cerr.rdbuf(sink.rdbuf())) {
        common::SetAppFolder(folder.string() + "/");
        // A file that is not there: the stand-in serves the scratch folder's jvdata/.
        weekrun::Options().settingsFile = folder / "JVLINKSETTINGS.txt";
    }
    ~RunIn() {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(err_);
        common::SetAppFolder(app_);
        weekrun::Options().settingsFile = settings_;
    }
    RunIn(const RunIn&) = delete;
    RunIn& operator=(const RunIn&) = delete;

private:
    std::string app_;
    fs::path settings_;
    // What the steps print (the batch's race list, the windows' texts) is not demoweek's output.
    std::streambuf* out_;
    std::streambuf* err_;
};

class ScratchFolder {
public:
    explicit ScratchFolder(fs::path path) : path_(std::move(path)) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

void RunSteps(const fs::path& folder, const std::string& saturday) {
    std::ostringstream sink;
    RunIn in(folder, sink);
    weekrun::ConsoleHost host(sink, true);
    for (const char* name : {"fetch", "structures", "compute", "batch"}) {
        const weekrun::Step* step = weekrun::FindStep(name);
        if (!step) throw std::logic_error(std::string("no step ") + name);
        step->run(host);
    }
    const std::string log = common::ReadFileBytes(folder / "ERRORLOG.txt");
    if (!log.empty())
        throw std::runtime_error("past week of " + saturday + ": the steps passed failures over: " +
                                 log.substr(0, log.find('\n')));
}

// Copies what the history windows read: every day file of TEKICHU, the speed files of SOKUDO.
int CopyStoredDays(const fs::path& from, const fs::path& to) {
    int copied = 0;
    auto copy = [&](const fs::path& sub, auto keep) {
        const fs::path source = from / sub;
        if (!fs::is_directory(source)) return;
        fs::create_directories(to / sub);
        for (const auto& entry : fs::directory_iterator(source)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || !keep(name)) continue;
            common::WriteFileAtomically(to / sub / name, common::ReadFileBytes(entry.path()));
            ++copied;
        }
    };
    copy("TEKICHU", [](const std::string& name) { return name != "RACEIDYMDLKN.txt"; });
    copy("SOKUDO", [](const std::string& name) {
        return name.size() == 14 && name.compare(0, 2, "HR") == 0 && name.compare(10, 4, ".csv") == 0;
    });
    return copied;
}

}  // namespace

std::uint64_t PastWeekSeed(std::uint64_t seed, Day saturday) {
    return Rng::For(seed, "past week", static_cast<std::uint64_t>(saturday.n)).Next();
}

int WritePastWeeks(const Options& options) {
    int copied = 0;
    for (int k = options.pastWeeks; k >= 1; --k) {
        const Day saturday = options.saturday.Plus(-7 * k);
        // Their dead heats share third, second and first place in turn, last week's third.
        const int deadHeatPlace = 3 - (k - 1) % 3;
        const World world = BuildWorld(PastWeekSeed(options.seed, saturday), options.scale, saturday, deadHeatPlace);
        ScratchFolder scratch(options.folder / ("demoweek-past-" + saturday.Ymd() + ".partial"));
        WriteWeek(world, WeekState::After, scratch.Path(), options.workers);
        RunSteps(scratch.Path(), saturday.Ymd());
        copied += CopyStoredDays(scratch.Path(), options.folder);
    }
    return copied;
}

}  // namespace demoweek

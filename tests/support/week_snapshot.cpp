#include "support/week_snapshot.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>

#include <sys/wait.h>

#include "common/instance_lock.h"
#include "common/step_marks.h"

namespace testsupport {

namespace fs = std::filesystem;

bool MakeTinyWeek(const std::string& demoweek, const TempAppFolder& folder) {
    if (RunCommand(demoweek + " " + folder.Path().string() +
                   " --state after --date 20251101 --days 1 --courses 1 --races 2 --runners 4-6"
                   " --history 4 --past-weeks 1 >/dev/null 2>&1") != 0)
        return false;
    // Settings unlike the defaults (the default folder jvdata, no download): a step that reads the
    // settings as defaults then finds nothing to serve.
    std::error_code ec;
    fs::rename(folder / "jvdata", folder / kTinyWeekServiceFolder, ec);
    if (ec) return false;
    folder.Write("JVLINKSETTINGS.txt", "pace=1000\nroot=" + std::string(kTinyWeekServiceFolder) + "\n");
    return true;
}

bool MakeTinyWeekOverLastWeek(const std::string& demoweek, const std::string& weekrun, const TempAppFolder& folder,
                              const std::vector<std::string>& steps) {
    if (!MakeTinyWeek(demoweek, folder)) return false;
    // Last week: the same shape a week earlier, served from the folder's own jvdata/ meanwhile.
    const TempAppFolder lastWeek;
    if (RunCommand(demoweek + " " + lastWeek.Path().string() +
                   " --state after --date 20251025 --days 1 --courses 1 --races 2 --runners 4-6 --history 4"
                   " >/dev/null 2>&1") != 0)
        return false;
    const fs::path served = folder / kTinyWeekServiceFolder;
    const fs::path thisWeek = lastWeek / "this-week-jvdata";
    fs::rename(served, thisWeek);
    fs::rename(lastWeek / "jvdata", served);
    std::string command = weekrun + " --app " + folder.Path().string() + " --quiet";
    for (const std::string& step : steps) command += " " + step;
    const bool ran = RunCommand(command + " >/dev/null 2>&1") <= 1;
    fs::remove_all(served);
    fs::rename(thisWeek, served);
    fs::remove(folder / "ERRORLOG.txt");
    return ran;
}

void Restore(const TempAppFolder& folder, const Snapshot& snapshot) {
    for (const auto& e : fs::directory_iterator(folder.Path())) fs::remove_all(e.path());
    for (const auto& [name, bytes] : snapshot) folder.Write(name, bytes);
}

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long FileCallsOf(const std::string& weekrunErr) {
    const std::string_view said = " file calls ";
    const auto at = weekrunErr.find(said);
    return at == std::string::npos ? -1 : std::atol(weekrunErr.c_str() + at + said.size());
}

bool InSweep(const std::string& step) {
    const char* only = std::getenv("SWEEP_STEPS");
    return !only || (" " + std::string(only) + " ").find(" " + step + " ") != std::string::npos;
}

bool Volatile(const std::string& name) {
    return name == "ERRORLOG.txt" || name == common::kInstanceLockFile || name.starts_with("jvdata/") ||
           name.starts_with(std::string(kTinyWeekServiceFolder) + "/");
}

bool AppendedEveryRun(const std::string& name) { return name.ends_with("RIALTIME.dat"); }

std::vector<std::string> Differences(const Snapshot& a, const Snapshot& b, bool appendsToo) {
    std::vector<std::string> out;
    std::set<std::string> names;
    for (const auto& [n, _] : a) names.insert(n);
    for (const auto& [n, _] : b) names.insert(n);
    for (const std::string& n : names) {
        if (Volatile(n) || (!appendsToo && AppendedEveryRun(n))) continue;
        const auto x = a.find(n);
        const auto y = b.find(n);
        if (x == a.end()) out.push_back("+ " + n);
        else if (y == b.end()) out.push_back("- " + n);
        else if (x->second != y->second)
            out.push_back("~ " + n + " (" + std::to_string(x->second.size()) + " -> " + std::to_string(y->second.size()) + " bytes)");
    }
    return out;
}

std::vector<std::string> LostFiles(const Snapshot& before, const Snapshot& clean, const Snapshot& after) {
    // Each file is the old one, the clean run's, or gone only where the clean run removes it too.
    std::vector<std::string> lost;
    for (const auto& [name, old] : before) {
        if (Volatile(name) || old.empty()) continue;
        const auto now = after.find(name);
        const auto good = clean.find(name);
        if (now == after.end()) {
            if (good != clean.end()) lost.push_back("gone: " + name);
            continue;
        }
        if (now->second == old || (good != clean.end() && now->second == good->second)) continue;
        if (now->second.empty()) lost.push_back("emptied: " + name);
        else if (old.starts_with(now->second)) lost.push_back("cut: " + name);
        else if (!AppendedEveryRun(name) && good != clean.end() && good->second.starts_with(now->second))
            lost.push_back("cut: " + name);
    }
    return lost;
}

Snapshot WithoutScratchFiles(Snapshot snapshot) {
    std::erase_if(snapshot, [](const auto& file) {
        const std::string& name = file.first;
        return name.ends_with(".partial") || fs::path(name).filename() == "TEMPORARY";
    });
    return snapshot;
}

std::vector<std::string> StandingMarks(const Snapshot& snapshot) {
    std::vector<std::string> standing;
    for (const common::StepMark& mark : common::kStepMarks)
        if (snapshot.contains(std::string(mark.markFile))) standing.emplace_back(mark.markFile);
    return standing;
}

std::string Joined(const std::vector<std::string>& lines, std::size_t most) {
    std::string s;
    for (std::size_t i = 0; i < lines.size() && i < most; ++i) s += "\n  " + lines[i];
    if (lines.size() > most) s += "\n  ... " + std::to_string(lines.size() - most) + " more";
    return s;
}

}  // namespace testsupport

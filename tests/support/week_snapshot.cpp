#include "support/week_snapshot.h"

#include <cstdlib>
#include <filesystem>
#include <set>

#include <sys/wait.h>

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

void Restore(const TempAppFolder& folder, const Snapshot& snapshot) {
    for (const auto& e : fs::directory_iterator(folder.Path())) fs::remove_all(e.path());
    for (const auto& [name, bytes] : snapshot) folder.Write(name, bytes);
}

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Volatile(const std::string& name) {
    return name == "ERRORLOG.txt" || name.starts_with(std::string(kTinyWeekServiceFolder) + "/");
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

std::string Joined(const std::vector<std::string>& lines, std::size_t most) {
    std::string s;
    for (std::size_t i = 0; i < lines.size() && i < most; ++i) s += "\n  " + lines[i];
    if (lines.size() > most) s += "\n  ... " + std::to_string(lines.size() - most) + " more";
    return s;
}

}  // namespace testsupport

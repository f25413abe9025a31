// weekrun: runs named steps of the week on an application folder, without windows.
//   weekrun --app DIR [--quiet] [--times] step...

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "common/error_log.h"
#include "common/file_faults.h"
#include "dataservice/local_settings.h"
#include "common/paths.h"
#include "console_host.h"
#include "steps.h"

namespace {

void Usage(std::ostream& out) {
    out << "usage: weekrun --app DIR [--quiet] [--times] [--settings FILE] [--odds-source 0|1] step...\n"
           "  --settings FILE   the data-service stand-in's settings (default: DIR/JVLINKSETTINGS.txt)\n"
           "  --fail-file-call N  for tests: the N-th file call of each step fails as an I/O error\n"
           "  --count-file-calls  for tests: prints the file calls each step made\n"
           "steps:\n";
    for (const auto& s : weekrun::Steps()) out << "  " << s.name << "  " << s.help << '\n';
}

long long LogSize() {
    struct stat st {};
    return ::stat(common::AppPath("ERRORLOG.txt").c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string app;
    bool quiet = false;
    bool times = false;
    long long failFileCall = 0;
    bool countFileCalls = false;
    std::vector<const weekrun::Step*> steps;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--app" && i + 1 < argc) {
            app = argv[++i];
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--settings" && i + 1 < argc) {
            weekrun::Options().settingsFile = argv[++i];
        } else if (a == "--odds-source" && i + 1 < argc) {
            weekrun::Options().oddsSource = static_cast<std::int16_t>(std::atoi(argv[++i]) == 1 ? 1 : 0);
        } else if (a == "--fail-file-call" && i + 1 < argc) {
            failFileCall = std::atoll(argv[++i]);
        } else if (a == "--count-file-calls") {
            countFileCalls = true;
        } else if (a == "--times") {
            times = true;
        } else if (a == "--help" || a == "-h") {
            Usage(std::cout);
            return 0;
        } else if (const auto* step = weekrun::FindStep(a)) {
            steps.push_back(step);
        } else {
            std::cerr << "weekrun: unknown step or option: " << a << '\n';
            Usage(std::cerr);
            return 2;
        }
    }
    if (app.empty() || steps.empty()) {
        Usage(std::cerr);
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(app, ec)) {
        std::cerr << "weekrun: not a folder: " << app << '\n';
        return 2;
    }
    common::SetAppFolder(std::filesystem::absolute(app).string());
    // Without --settings, the folder's own settings: never another folder's.
    if (weekrun::Options().settingsFile.empty()) weekrun::Options().settingsFile = dataservice::DefaultSettingsFile();

    weekrun::ConsoleHost host(std::cerr, quiet);
    int failedSteps = 0;
    for (const auto* step : steps) {
        const long long logBefore = LogSize();
        const auto start = std::chrono::steady_clock::now();
        common::FailNthFileCall(failFileCall);
        bool ok = common::PassOver(step->name, [&] { step->run(host); });
        if (countFileCalls) std::cerr << "weekrun: " << step->name << " file calls " << common::FileCallCount() << '\n';
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        // A step that passed failures over has written them to the error log.
        if (!ok || LogSize() != logBefore) {
            ++failedSteps;
            std::cerr << "weekrun: " << step->name << " reported failures (see ERRORLOG.txt)\n";
        }
        if (times) std::cerr << "weekrun: " << step->name << " " << ms.count() << " ms\n";
    }
    return failedSteps == 0 ? 0 : 1;
}

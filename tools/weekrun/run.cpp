#include "run.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "acquisition/odds_tables.h"
#include "common/error_log.h"
#include "common/file_faults.h"
#include "common/instance_lock.h"
#include "common/paths.h"
#include "console_host.h"
#include "dataservice/local_settings.h"
#include "steps.h"

namespace weekrun {

namespace {

void Usage(std::ostream& out) {
    out << "usage: weekrun --app DIR [--quiet] [--times] [--settings FILE] [--odds-source 0|1] step...\n"
           "  --settings FILE   the data-service stand-in's settings (default: DIR/JVLINKSETTINGS.txt)\n"
           "  --fail-file-call N  for tests: the N-th file call of each step fails as an I/O error would\n"
           "  --kill-at-file-call N  for tests: the process is killed just before the N-th file call of a step\n"
           "  --count-file-calls  for tests: prints how many file calls each step made\n"
           "exit: 0 every step ended plainly, 1 a step reported failures, 2 not run (arguments, folder,\n"
           "      another program or weekrun works in DIR, or no lock file can be opened there)\n"
           "steps:\n";
    for (const auto& s : Steps()) out << "  " << s.name << "  " << s.help << '\n';
}

long long LogSize() {
    struct stat st {};
    return ::stat(common::AppPath("ERRORLOG.txt").c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

// What one run changes of the process's shared state, put back on every way out, so that a test
// can run weekrun many times in one process.
class SharedStateKept {
public:
    SharedStateKept()
        : appFolder_(common::AppFolder()), options_(Options()), oddsSource_(acquisition::OddsSource) {}
    ~SharedStateKept() {
        common::SetAppFolder(appFolder_);
        Options() = options_;
        acquisition::OddsSource = oddsSource_;
    }
    SharedStateKept(const SharedStateKept&) = delete;
    SharedStateKept& operator=(const SharedStateKept&) = delete;

private:
    std::string appFolder_;
    RunOptions options_;
    std::int16_t oddsSource_;
};

// Entries ERRORLOG.txt could not take (a full disk, a read-only folder) reach the user here.
int PrintUnwrittenEntries(std::ostream& err) {
    const std::vector<std::string> entries = common::TakeUnwrittenLogEntries();
    for (const std::string& entry : entries) err << "weekrun: not written to ERRORLOG.txt: " << entry << '\n';
    return static_cast<int>(entries.size());
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string app;
    bool quiet = false;
    bool times = false;
    long long failFileCall = 0;
    long long killAtFileCall = 0;
    bool countFileCalls = false;
    RunOptions options;
    std::vector<const Step*> steps;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--app" && hasValue) {
            app = args[++i];
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--settings" && hasValue) {
            options.settingsFile = args[++i];
        } else if (a == "--odds-source" && hasValue) {
            options.oddsSource = static_cast<std::int16_t>(std::atoi(args[++i].c_str()) == 1 ? 1 : 0);
        } else if (a == "--times") {
            times = true;
        } else if (a == "--fail-file-call" && hasValue) {
            failFileCall = std::atoll(args[++i].c_str());
        } else if (a == "--kill-at-file-call" && hasValue) {
            killAtFileCall = std::atoll(args[++i].c_str());
        } else if (a == "--count-file-calls") {
            countFileCalls = true;
        } else if (a == "--help" || a == "-h") {
            Usage(out);
            return kAllStepsPlain;
        } else if (const Step* step = FindStep(a)) {
            steps.push_back(step);
        } else {
            err << "weekrun: unknown step or option: " << a << '\n';
            Usage(err);
            return kNotRun;
        }
    }
    if (app.empty() || steps.empty()) {
        Usage(err);
        return kNotRun;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(app, ec)) {
        err << "weekrun: not a folder: " << app << '\n';
        return kNotRun;
    }

    const SharedStateKept kept;
    common::SetAppFolder(std::filesystem::absolute(app).string());
    // Without --settings, the folder's own settings: never another folder's.
    if (options.settingsFile.empty()) options.settingsFile = dataservice::DefaultSettingsFile();
    Options() = options;

    // The program's own lock: weekrun beside the program, or two weekruns, would mix two runs'
    // lines in the same day files.
    common::InstanceLock lock(common::AppPath(common::kInstanceLockFile));
    switch (lock.TryLock()) {
        case common::InstanceLock::Result::Held:
            break;
        case common::InstanceLock::Result::HeldByAnother:
            err << "weekrun: " << common::AppFolder() << common::kAlreadyRunningMessage << '\n';
            return kNotRun;
        case common::InstanceLock::Result::Unavailable:
            // Unlocked, this run could go beside another one: it runs nothing.
            err << "weekrun: " << common::AppFolder() << common::kCannotLockMessage << '\n';
            return kNotRun;
    }

    int failures = 0;
    ConsoleHost host(err, quiet, out);
    for (const Step* step : steps) {
        const long long logBefore = LogSize();
        const auto start = std::chrono::steady_clock::now();
        StepOutcome outcome;
        // The test switch, only when asked for: a test in this process may hold it already.
        const bool switching = failFileCall > 0 || killAtFileCall > 0 || countFileCalls;
        if (switching) common::FailNthFileCall(failFileCall);
        if (killAtFileCall > 0) common::KillAtNthFileCall(killAtFileCall);
        const bool ran = common::PassOver(step->name, [&] { outcome = step->run(host); });
        if (countFileCalls) err << "weekrun: " << step->name << " file calls " << common::FileCallCount() << '\n';
        if (switching) common::FailNthFileCall(0);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const int unwritten = PrintUnwrittenEntries(err);
        if (!ran || !outcome.plain || LogSize() != logBefore || unwritten > 0) {
            ++failures;
            err << "weekrun: " << step->name << " reported failures";
            if (!outcome.plain && !outcome.endText.empty()) err << ": " << outcome.endText;
            err << (unwritten > 0 ? " (ERRORLOG.txt could not take them all)\n" : " (see ERRORLOG.txt)\n");
        }
        if (times) err << "weekrun: " << step->name << " " << ms.count() << " ms\n";
    }
    out.flush();
    return failures == 0 ? kAllStepsPlain : kStepsFailed;
}

}  // namespace weekrun

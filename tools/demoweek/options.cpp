#include "options.h"

#include <charconv>

namespace demoweek {

namespace {

bool ReadInt(const std::string& text, long long lo, long long hi, long long& out) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return false;
    out = v;
    return true;
}

}  // namespace

std::string Usage() {
    return "usage: demoweek <appfolder> [options]\n"
           "Writes a made-up race week into <appfolder>: jvdata/ for the stand-in data service,\n"
           "the model and statistics files of OPTION1N/ and JRACODE/CodeTable.csv.\n"
           "  --state before|after   race cards only, or the results too (default before)\n"
           "  --seed N               the same seed gives the same week (default 1)\n"
           "  --date yyyymmdd        the Saturday of the week (default 20250607)\n"
           "  --small                2 days, 2 courses, 3 races, 8-10 runners, 8 past runs\n"
           "  --full                 96 races of 18 runners, 65 past runs each\n"
           "  --days N               race days from the Saturday, 1 to 3 (default 2)\n"
           "  --courses N            courses a day, 1 to 4 (default 3)\n"
           "  --races N              races per course and day, 1 to 12 (default 12)\n"
           "  --runners MIN-MAX      runners per race, 2 to 18 (default 8-18)\n"
           "  --history N            past runs per horse at most, 0 to 65 (default 65)\n"
"  --past-weeks N         also the N weeks before, 0 to 60 (default 0): each run after its\n"
           "                         results through the program's steps; their day files go into\n"
           "                         TEKICHU/ and their speed files into SOKUDO/\n"
           "  --workers N            threads that label the runs, 1 to 64 (default: one per\n"
           "                         processor, at most 8); the files are the same for any N\n"
           "  --replace-supplied     write over files already in OPTION1N/ and JRACODE/ (without\n"
           "                         it a folder that holds any is refused and left as it is)\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, bool& help, std::string& error) {
    help = false;
    options.scale = NormalScale();
    // Presets first, so that single settings given with them adjust the preset.
    for (const std::string& a : args) {
        if (a == "--small") options.scale = SmallScale();
        if (a == "--full") options.scale = FullScale();
    }
    bool haveFolder = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        if (a == "--help" || a == "-h") {
            help = true;
            return true;
        } else if (a == "--small" || a == "--full") {
            continue;
        } else if (a == "--replace-supplied") {
            options.replaceSupplied = true;
        } else if (a == "--state") {
            if (!value(v)) return false;
            if (v == "before") options.state = WeekState::Before;
            else if (v == "after") options.state = WeekState::After;
            else return error = "--state is before or after", false;
        } else if (a == "--seed") {
            if (!value(v)) return false;
            if (!ReadInt(v, 0, 9000000000000000000LL, n)) return error = "--seed needs a whole number", false;
            options.seed = static_cast<std::uint64_t>(n);
        } else if (a == "--date") {
            if (!value(v)) return false;
            if (!ParseDay(v, options.saturday)) return error = "--date needs a date yyyymmdd", false;
            if (options.saturday.Weekday() != 6) return error = "--date must be a Saturday", false;
        } else if (a == "--days") {
            if (!value(v)) return false;
            if (!ReadInt(v, 1, 3, n)) return error = "--days is 1 to 3", false;
            options.scale.days = static_cast<int>(n);
        } else if (a == "--courses") {
            if (!value(v)) return false;
            if (!ReadInt(v, 1, 4, n)) return error = "--courses is 1 to 4", false;
            options.scale.courses = static_cast<int>(n);
        } else if (a == "--races") {
            if (!value(v)) return false;
            if (!ReadInt(v, 1, 12, n)) return error = "--races is 1 to 12", false;
            options.scale.racesPerDay = static_cast<int>(n);
        } else if (a == "--runners") {
            if (!value(v)) return false;
            const auto dash = v.find('-');
            long long lo = 0, hi = 0;
            if (dash == std::string::npos || !ReadInt(v.substr(0, dash), 2, 18, lo) || !ReadInt(v.substr(dash + 1), 2, 18, hi) || lo > hi)
                return error = "--runners is MIN-MAX within 2-18", false;
            options.scale.minRunners = static_cast<int>(lo);
            options.scale.maxRunners = static_cast<int>(hi);
        } else if (a == "--history") {
            if (!value(v)) return false;
            if (!ReadInt(v, 0, 65, n)) return error = "--history is 0 to 65", false;
            options.scale.history = static_cast<int>(n);
        } else if (a == "--past-weeks") {
            if (!value(v)) return false;
            if (!ReadInt(v, 0, 60, n)) return error = "--past-weeks is 0 to 60", false;
            options.pastWeeks = static_cast<int>(n);
        } else if (a == "--workers") {
            if (!value(v)) return false;
            if (!ReadInt(v, 1, 64, n)) return error = "--workers is 1 to 64", false;
            options.workers = static_cast<int>(n);
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (!haveFolder) {
            options.folder = a;
            haveFolder = true;
        } else {
            error = "one application folder only";
            return false;
        }
    }
    if (!haveFolder) {
        error = "no application folder given";
        return false;
    }
    return true;
}

}  // namespace demoweek

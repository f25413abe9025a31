// Every input of every step damaged in turn, in every way a file breaks, on a tiny week: a run either
// writes exactly what a run on the whole input writes and says so plainly, or tells the damage
// (exit 1, the file named in ERRORLOG.txt); and no file that held something is left empty, cut or
// holding a record read shifted.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/week_snapshot.h"

namespace {

namespace fs = std::filesystem;

using namespace testsupport;

const std::string kService(testsupport::kTinyWeekServiceFolder);

enum class Damage { Emptied, Removed, Cut, LfLineEnds, BytesAppended, ByteInserted, RecordDuplicated };
constexpr std::array kDamages = {Damage::Emptied,      Damage::Removed,      Damage::Cut,
                                 Damage::LfLineEnds,   Damage::BytesAppended, Damage::ByteInserted,
                                 Damage::RecordDuplicated};

const char* NameOf(Damage d) {
    switch (d) {
        case Damage::Emptied: return "emptied";
        case Damage::Removed: return "removed";
        case Damage::Cut: return "cut inside its last record";
        case Damage::LfLineEnds: return "LF line ends";
        case Damage::BytesAppended: return "bytes appended";
        case Damage::ByteInserted: return "one byte inserted";
        case Damage::RecordDuplicated: return "one record duplicated";
    }
    return "?";
}

// What the sweep inserts and appends: DEL is neither text nor a Shift-JIS trail byte, so where it
// turns up in an output, damaged bytes were read as data.
constexpr char kMarker = '\x7f';

// The records of a file as they end in CR LF (in LF where it has no CR LF at all); what follows
// the last line end, if anything, last.
std::vector<std::string_view> Records(std::string_view bytes) {
    const std::string_view end = bytes.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t next = bytes.find(end, at);
        if (next == std::string_view::npos) {
            out.push_back(bytes.substr(at));
            break;
        }
        out.push_back(bytes.substr(at, next + end.size() - at));
        at = next + end.size();
    }
    return out;
}

// The record length (line end included) when every record of the file ends in CR LF and all are
// of one length; 0 otherwise (a text file of lines of any length, or a torn file).
std::size_t FixedLength(std::string_view bytes) {
    const std::vector<std::string_view> records = Records(bytes);
    if (records.empty()) return 0;
    for (std::string_view r : records)
        if (r.size() != records.front().size() || !r.ends_with("\r\n")) return 0;
    return records.front().size();
}

struct Damaged {
    bool applies = true;  // false: the damage cannot be made on this file (or would change nothing)
    bool removed = false;
    std::string bytes;
};

const Damaged kNotMade{false, false, {}};

Damaged DamageBytes(const std::string& bytes, Damage d) {
    Damaged out{true, false, bytes};
    switch (d) {
        case Damage::Emptied:
            out.bytes.clear();
            break;
        case Damage::Removed:
            out.removed = true;
            break;
        case Damage::Cut: {
            const std::vector<std::string_view> records = Records(bytes);
            if (records.empty()) return kNotMade;
            // Half of the last record stays, without its line end.
            const std::size_t last = bytes.size() - records.back().size();
            out.bytes.resize(last + std::max<std::size_t>(1, records.back().size() / 2));
            if (out.bytes.size() >= bytes.size()) out.bytes.resize(bytes.size() - 1);
            break;
        }
        case Damage::LfLineEnds:
            if (bytes.find("\r\n") == std::string::npos) return kNotMade;
            out.bytes.clear();
            for (std::size_t i = 0; i < bytes.size(); ++i)
                if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) out.bytes += bytes[i];
            break;
        case Damage::BytesAppended:
            out.bytes += std::string(3, kMarker);
            break;
        case Damage::ByteInserted:
            // In a text of lines of any length an inserted byte only changes a value inside its
            // line, which keeps the file's form: only files of fixed-length records are shifted.
            if (FixedLength(bytes) == 0) return kNotMade;
            out.bytes.insert(bytes.size() / 2, 1, kMarker);
            break;
        case Damage::RecordDuplicated: {
            const std::vector<std::string_view> records = Records(bytes);
            if (records.empty()) return kNotMade;
            const std::string_view middle = records[records.size() / 2];
            out.bytes.insert(static_cast<std::size_t>(middle.data() - bytes.data()), middle);
            break;
        }
    }
    return out;
}

// The inputs of each step: a file, or a family of files of which one is damaged (`each`: every
// file of it). Found with `weekrun --count-file-calls` and `strace -f -e trace=openat`.
struct Input {
    std::string pattern;  // regular expression over the path relative to the application folder
    bool each = false;
    // Settings that read as defaults, or name a folder that is not there, show as a data service
    // without data: the log tells that, and need not name the settings file.
    bool toldAsService = false;
};
struct StepInputs {
    std::string step;
    std::vector<Input> inputs;
};

const Input kSettings{"JVLINKSETTINGS\\.txt", false, true};
const std::string kRunFile = "UMAGOTOTHISWEEKN/[0-9]+\\.dat";
const std::string kStored = kService + "/stored/";
const std::string kRealtime = kService + "/realtime/";

const std::vector<StepInputs>& Steps() {
    static const std::vector<StepInputs> steps = {
        {"fetch",
         {{kSettings},
          {kStored + "RACE/RAW.*"},
          {kStored + "RACE/SEW.*"},
          {kStored + "RACE/HRW.*"},
          {kStored + "RACE/RAH.*"},
          {kStored + "RACE/SEH.*"},
          {kStored + "TCVN/.*"},
          {kStored + "RCVN/.*"}}},
        {"structures", {{"RATHISWEEKN\\.dat"}, {"SETHISWEEKN\\.dat"}, {"UMTHISWEEKN\\.dat"}}},
        {"cancel",
         {{kSettings},
          {"KETTONUMTHISWEEKN\\.dat"},
          {"RATHISWEEKNNEW\\.dat"},
          {"RATHISWEEKNNEWd\\.dat"},
          {"SETHISWEEKNNEWd\\.dat"},
          {kRunFile},
          {kRealtime + "0B12/.*"}}},
        {"dayfix", {{"HRTHISWEEKN\\.dat"}, {"KETTONUMTHISWEEKN\\.dat"}, {"RATHISWEEKNNEW\\.dat"}, {kRunFile}}},
        {"compute",
         {{"HAHAHANNUMTHISWEEKN\\.dat"},
          {"KETTONUMTHISWEEKN\\.dat"},
          {"KSTHISWEEKN\\.dat"},
          {"RATHISWEEKNNEW\\.dat"},
          {"UMTHISWEEKNNEW\\.dat"},
          {kRunFile},
          {"OPTION1N/.*", true}}},
        {"odds", {{kSettings}, {kStored + "RACE/RAW.*"}, {kStored + "TCOV/.*"}, {kStored + "RCOV/.*"}}},
        {"odds-tables", {{"O2THISWEEKN\\.dat"}, {"O4THISWEEKN\\.dat"}, {"O5THISWEEKN\\.dat"}, {"O6THISWEEKN\\.dat"}}},
        {"batch",
         {{"HRTHISWEEKN\\.dat"},
          {"RATHISWEEKNNEW\\.dat"},
          {"SETHISWEEKNNEW\\.dat"},
          {"JRACODE/CodeTable\\.csv"},
          {"UMAGOTOEXTHISWEEKN/[0-9]+EX\\.dat"}}},
        {"breaking-payouts",
         {{kSettings},
          {"RATHISWEEKN\\.dat"},
          {"RATHISWEEKNNEW\\.dat"},
          {"SERIALTIME\\.dat"},
          {"RACE/[0-9]+\\.dat"},
          {kRealtime + "0B12/.*"},
          {kRealtime + "0B30/.*"}}},
        {"past-scan", {{"TEKICHU/[0-9]+tekichu\\.txt"}}},
        {"index-rebuild", {{"TEKICHU/RACEIDYMDLKN\\.txt"}, {"TEKICHU/[0-9]+lupRCM\\.txt"}}},
        {"hit-list", {{"JRACODE/CodeTable\\.csv"}, {"TEKICHU/[0-9]+lupRCM\\.txt"}}},
    };
    return steps;
}

// Files that may rightly be empty or absent, or whose damage the program cannot see: these
// damages are not made.
struct Exception {
    std::string pattern;
    std::vector<Damage> damages;
    const char* reason;
};

const std::vector<Exception>& Exceptions() {
    static const std::vector<Exception> exceptions = {
        {"TEKICHU/[0-9]+tekichu\\.txt", {Damage::Removed},
         "the past results find a stored day by its tekichu.txt: without it the day is not stored"},
        {kRunFile, {Damage::Emptied},
         "a horse whose runs were all called off keeps a run file holding no run: it has nothing to expand"},
        {"SERIALTIME\\.dat", {Damage::Emptied, Damage::Removed},
         "a breaking-news file is deleted at every start: none, or an empty one, is a start without news"},
        {kRealtime + ".*", {Damage::Emptied, Damage::Removed},
         "a day or race without breaking news has no news file, or an empty one"},
        {kStored + ".*", {Damage::Emptied, Damage::Removed},
         "the data service may hold fewer records: a stored file with none, or none at all, is a smaller delivery"},
        {kService + "/.*", {Damage::ByteInserted},
         "a record one byte longer is a record of another version's length, stored as its layout says: the "
         "program cannot tell it from the service's data"},
        {kService + "/.*", {Damage::RecordDuplicated},
         "the data service may deliver a record again; the fetch keeps what is delivered"},
    };
    return exceptions;
}

const Exception* ExceptionFor(const std::string& name, Damage d) {
    for (const Exception& e : Exceptions())
        if (std::regex_match(name, std::regex(e.pattern)) &&
            std::find(e.damages.begin(), e.damages.end(), d) != e.damages.end())
            return &e;
    return nullptr;
}

// The files of `input` damaged: of a family, one the clean step rewrote, else the last that holds
// something (the first members may be horses or days the step passes by).
std::vector<std::string> Targets(const Input& input, const Snapshot& before, const Snapshot& clean) {
    const std::regex pattern(input.pattern);
    std::vector<std::string> members;
    for (const auto& [name, bytes] : before)
        if (!bytes.empty() && std::regex_match(name, pattern)) members.push_back(name);
    if (input.each || members.size() <= 1) return members;
    for (const std::string& name : members) {
        const auto now = clean.find(name);
        if (now == clean.end() || now->second != before.at(name)) return {name};
    }
    return {members.back()};
}

// How the log must name a file: its name, with its folder where it has one (the log writes paths).
std::string NameInLog(const std::string& name) {
    const fs::path p(name);
    const fs::path folder = p.parent_path().filename();
    return folder.empty() ? name : (folder / p.filename()).generic_string();
}

// A file of the data service's records: each begins with its two-character kind ("RA", "SE", "O1").
bool OfRecordKinds(std::string_view bytes) {
    const auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return bytes.size() >= 2 && letter(bytes[0]) && (letter(bytes[1]) || digit(bytes[1]));
}

std::set<std::string> KindsOf(std::string_view bytes) {
    std::set<std::string> kinds;
    for (std::string_view r : Records(bytes)) kinds.insert(std::string(r.substr(0, 2)));
    return kinds;
}

// Outputs that hold damaged bytes or records read shifted: each file the run changed (from
// `start`, the damaged folder) into something that is neither the old, the clean run's nor the
// expected file (the damaged file with what the step appends).
std::vector<std::string> ShiftedFiles(const Snapshot& original, const Snapshot& start, const Snapshot& clean,
                                      const Snapshot& expected, const Snapshot& after, const std::string& damaged) {
    std::vector<std::string> out;
    for (const auto& [name, now] : after) {
        if (Volatile(name)) continue;
        const auto was = start.find(name);
        const auto good = clean.find(name);
        const auto old = original.find(name);
        const auto fine = expected.find(name);
        if ((was != start.end() && was->second == now) || (good != clean.end() && good->second == now) ||
            (fine != expected.end() && fine->second == now))
            continue;
        const std::string goodBytes = good != clean.end() ? good->second : std::string();
        const std::string oldBytes = old != original.end() ? old->second : std::string();
        if (now.find(kMarker) != std::string::npos && goodBytes.find(kMarker) == std::string::npos &&
            oldBytes.find(kMarker) == std::string::npos) {
            out.push_back("damaged bytes written into " + name);
            continue;
        }
        // A file of records (and the damaged file, whatever its form) stays one: each record
        // whole, of its length and kind.
        const std::string& form = FixedLength(goodBytes) ? goodBytes : oldBytes;
        const std::size_t length = FixedLength(form);
        if (length > 0 && !now.empty() && (name == damaged || OfRecordKinds(form))) {
            const std::set<std::string> kinds = KindsOf(form);
            if (FixedLength(now) != length) {
                out.push_back("torn or shifted records in " + name);
                continue;
            }
            bool otherKind = false;
            for (std::string_view r : Records(now)) otherKind = otherKind || !kinds.contains(std::string(r.substr(0, 2)));
            if (otherKind) {
                out.push_back("a record of another kind (read shifted) in " + name);
                continue;
            }
        }
        // The damaged file rewritten: only from its own records, as they were or as the clean run
        // made them.
        if (name == damaged) {
            std::set<std::string_view> known;
            for (std::string_view r : Records(oldBytes)) known.insert(r);
            for (std::string_view r : Records(goodBytes)) known.insert(r);
            for (std::string_view r : Records(now))
                if (!known.contains(r)) {
                    out.push_back("rewritten with a record not its own: " + name);
                    break;
                }
        }
    }
    return out;
}

struct Tally {
    int files = 0, runs = 0, identical = 0, told = 0, lost = 0, excepted = 0;
};

// Runs one step of weekrun on the folder; a step that hangs is stopped. Returns the exit status;
// the error output is in `err`.
int RunStep(const testsupport::TempAppFolder& week, const testsupport::TempAppFolder& scratch, const std::string& step,
            std::string& err) {
    const fs::path errFile = scratch.Path() / "weekrun.err";
    const int status = RunCommand("timeout 60 " + std::string(WEEKRUN_PROGRAM) + " --app " + week.Path().string() +
                                  " --quiet " + step + " >/dev/null 2>" + errFile.string());
    err = scratch.Read("weekrun.err");
    return status;
}

TEST(DamageSweep, EveryDamagedInputIsToldOrChangesNothing) {
    const testsupport::TempAppFolder scratch;
    const testsupport::TempAppFolder weekFolder;
    const testsupport::TempAppFolder* week = &weekFolder;
    ASSERT_TRUE(testsupport::MakeTinyWeek(DEMOWEEK_PROGRAM, weekFolder));
    const auto Step = [&](const std::string& step, std::string& err) { return RunStep(weekFolder, scratch, step, err); };
    std::map<std::string, Tally> tallies;
    std::vector<std::string> findings;
    std::set<std::string> filesSwept;
    // SWEEP_STEPS="a b" limits the sweep to those steps (the steps before them still run).
    const char* only = std::getenv("SWEEP_STEPS");
    for (const StepInputs& s : Steps()) {
        SCOPED_TRACE(s.step);
        std::string err;
        const Snapshot before = week->Files();
        ASSERT_EQ(Step(s.step, err), 0) << err;
        const Snapshot clean = week->Files();
        ASSERT_FALSE(clean.contains("ERRORLOG.txt")) << clean.at("ERRORLOG.txt");
        if (only && (" " + std::string(only) + " ").find(" " + s.step + " ") == std::string::npos) continue;
        Tally& t = tallies[s.step];

        for (const Input& input : s.inputs) {
            const std::vector<std::string> targets = Targets(input, before, clean);
            EXPECT_FALSE(targets.empty()) << "no file " << input.pattern << " holds anything before " << s.step;
            for (const std::string& name : targets) {
                ++t.files;
                filesSwept.insert(name);
                for (const Damage d : kDamages) {
                    SCOPED_TRACE(name + ": " + NameOf(d));
                    if (ExceptionFor(name, d)) {
                        ++t.excepted;
                        continue;
                    }
                    const Damaged damaged = DamageBytes(before.at(name), d);
                    if (!damaged.applies) continue;
                    Snapshot start = before;
                    if (damaged.removed) start.erase(name);
                    else start[name] = damaged.bytes;
                    Restore(*week, start);
                    ++t.runs;

                    const int status = Step(s.step, err);
                    const Snapshot after = week->Files();
                    const auto finding = [&](const std::string& what) {
                        findings.push_back(s.step + ": " + name + ": " + NameOf(d) + ": " + what);
                    };

                    // What a run that sees nothing wrong must leave: the clean run's files, and the
                    // damaged file as it was made where the step does not write it.
                    Snapshot expected = clean;
                    const auto cleanOfIt = clean.find(name);
                    if (cleanOfIt != clean.end() && cleanOfIt->second == before.at(name)) {
                        if (damaged.removed) expected.erase(name);
                        else expected[name] = damaged.bytes;
                    } else if (testsupport::AppendedEveryRun(name) && cleanOfIt != clean.end() &&
                               cleanOfIt->second.starts_with(before.at(name))) {
                        // What the step appends, after the damaged file.
                        const std::string appended = cleanOfIt->second.substr(before.at(name).size());
                        expected[name] = (damaged.removed ? std::string() : damaged.bytes) + appended;
                    }
                    // The damaged file rewritten as the clean run leaves it is as good.
                    if (const auto now = after.find(name);
                        now != after.end() && cleanOfIt != clean.end() && now->second == cleanOfIt->second)
                        expected[name] = cleanOfIt->second;
                    if (status == 0) {
                        const std::vector<std::string> changed = Differences(expected, after);
                        EXPECT_TRUE(changed.empty()) << "exit 0 but the outputs differ:" << Joined(changed) << "\n" << err;
                        if (changed.empty()) ++t.identical;
                        else finding("passed silently, outputs differ:" + Joined(changed, 3));
                    } else if (status == 1) {
                        const std::string log = after.contains("ERRORLOG.txt") ? after.at("ERRORLOG.txt") : std::string();
                        const bool named = log.find(NameInLog(name)) != std::string::npos ||
                                           (input.toldAsService && !log.empty());
                        EXPECT_TRUE(named) << "told, but ERRORLOG.txt does not name " << NameInLog(name) << ":\n"
                                           << log << err;
                        if (named) ++t.told;
                        else finding(log.empty() ? "exit 1 with nothing logged" : "told without naming the file");
                    } else {
                        ADD_FAILURE() << "exit " << status << "\n" << err;
                        finding("exit " + std::to_string(status));
                    }

                    // Nothing that held something is left empty, cut or holding a record read
                    // shifted; the damaged file itself may stay as it was damaged.
                    Snapshot held = before;
                    const auto now = after.find(name);
                    const auto fine = expected.find(name);
                    if (damaged.removed ? now == after.end()
                                        : now != after.end() && (now->second == damaged.bytes ||
                                                                 (fine != expected.end() && now->second == fine->second)))
                        held.erase(name);
                    std::vector<std::string> lost = LostFiles(held, clean, after);
                    for (std::string& line : ShiftedFiles(before, start, clean, expected, after, name)) lost.push_back(line);
                    EXPECT_TRUE(lost.empty()) << Joined(lost) << "\n" << err;
                    if (!lost.empty()) {
                        ++t.lost;
                        for (const std::string& line : lost) finding("lost: " + line);
                    }
                }
            }
        }
        Restore(*week, clean);
    }

    Tally all;
    for (const auto& [step, t] : tallies) {
        std::cout << "damage sweep: " << step << ": " << t.files << " files, " << t.runs << " runs, " << t.identical
                  << " identical, " << t.told << " told, " << t.lost << " lost, " << t.excepted
                  << " damages not made (may rightly be so)\n";
        all.runs += t.runs;
        all.identical += t.identical;
        all.told += t.told;
        all.lost += t.lost;
        all.excepted += t.excepted;
    }
    for (const std::string& f : findings) std::cout << "damage sweep finding: " << f << '\n';
    std::cout << "damage sweep: " << tallies.size() << " steps, " << filesSwept.size() << " files, "
              << kDamages.size() << " damages, " << all.runs << " runs, " << all.identical << " identical, "
              << all.told << " told, " << all.lost << " lost\n";
}

}  // namespace

#include "history/index_rebuild.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "common/text_file.h"
#include "history/meeting_scan.h"
#include "history/stored_day_file.h"
#include "supplementary/speed_file.h"

namespace history {

namespace {

constexpr std::string_view kStep = "TGFの外部指数作成";
constexpr int kSlots = 19;
constexpr int kHorseLineReads = 1000;
// The report's values that start a race, and a horse line or the end of a race's horse lines.
constexpr std::string_view kRaceTag[] = {"RC"};
constexpr std::string_view kHorseTags[] = {"HS", "Q1"};

bool Digit(char c) { return c >= '0' && c <= '9'; }

// Seconds of a predicted time of the form M.SS.hh, as the stored speed files were computed: the
// minutes times 60 and the sum each in single precision. Nothing for any other form.
std::optional<float> PredictedSeconds(std::string_view time) {
    if (time.size() != 7 || !Digit(time[0]) || time[1] != '.' || !Digit(time[2]) || !Digit(time[3]) ||
        time[4] != '.' || !Digit(time[5]) || !Digit(time[6]))
        return std::nullopt;
    const float minutes = static_cast<float>((time[0] - '0') * 60.0);
    // Hundredths over 100 is the double nearest SS.hh, as reading the text gives it.
    const int hundredths = (time[2] - '0') * 1000 + (time[3] - '0') * 100 + (time[5] - '0') * 10 + (time[6] - '0');
    return static_cast<float>(static_cast<double>(minutes) + hundredths / 100.0);
}

// One race's speed slots by horse number 1 to 19.
struct Slots {
    std::optional<supplementary::SpeedEntry> slot[kSlots + 1];

    void Fill(std::string_view horse, std::string_view rank, std::string_view time, std::int32_t distance) {
        const auto h = common::StrictNumber(horse);
        const auto r = common::StrictNumber(rank);
        if (!h || *h < 1 || *h > kSlots || *h != std::floor(*h) || !r) return;
        supplementary::SpeedEntry entry;
        entry.Rank = common::CInt(*r);
        // A time that is not M.SS.hh (an empty time of a horse number without a runner, a garbled
        // one) or that gives no seconds is speed 0, as the weekly writer writes such a number.
        const auto seconds = PredictedSeconds(time);
        if (seconds && *seconds > 0.0f) {
            const double speed = std::floor(static_cast<double>(distance) * 3600.0 / static_cast<double>(*seconds));
            entry.Speed = speed > 0 ? static_cast<std::uint64_t>(speed) : 0;
        }
        slot[static_cast<int>(*h)] = entry;
    }

    // Horse numbers from 1 up to the first without a horse line.
    std::vector<supplementary::SpeedEntry> Line() const {
        std::vector<supplementary::SpeedEntry> entries;
        for (int h = 1; h <= kSlots && slot[h]; ++h) entries.push_back(*slot[h]);
        return entries;
    }
};

// True when TEKICHU holds a day that the past results list (an empty day-key list is then no list
// of those days). A folder that cannot be listed is taken as holding some.
bool HoldsStoredDays() {
    bool some = true;
    common::PassOver(kStep, [&] { some = !StoredDayKeys(common::AppPath("TEKICHU").string(), "tekichu.txt").empty(); });
    return some;
}

class Rebuild {
public:
    explicit Rebuild(common::Host& host) : host_(host) {}

    // The day's races into the files, each logged and shown as it is read.
    void Day(const std::string& key, common::WrittenFieldReader& in, const std::exception_ptr& failure) {
        const bool unreadable = LogReadFailure(kStep, failure);
        if (unreadable) ++result.passedOver;
        dayRaces_ = 0;
        std::string_view value;  // a view into the file's content, read value by value
        while (in.NextTag(kRaceTag, value)) Race(key, in);
        result.passedOver += in.UnreadableFields();
        if (dayRaces_ > 0 || unreadable) return;
        if (!StoredDayFileExists(key, "lupRCM.txt")) {
            // Without its report a listed day's races would drop out of the index: the index and
            // its date's file stay as they were.
            keptDates_.insert(key.substr(0, 8));
            keepRaceIds_ = true;
            PassOver("TEKICHU/" + key + "lupRCM.txt is missing: SOKUDO/RACEID.txt and " +
                     supplementary::SokudoHrCsv(key.substr(0, 8)) + " are kept as they were");
        } else {
            // The weekly batch wrote this day's races into its date's file: rewriting the file
            // without them would lose them.
            keptDates_.insert(key.substr(0, 8));
            PassOver("TEKICHU/" + key + "lupRCM.txt holds no race: the day's races are not in SOKUDO/RACEID.txt, and " +
                     supplementary::SokudoHrCsv(key.substr(0, 8)) + " is kept as it was");
        }
    }

    // A line of the day-key list (numbered from 1) that is no key, or a key that stood before it:
    // each day is read once.
    void BadLine(std::size_t number, const std::string& line, bool repeated) {
        PassOver(std::string(kDayKeyList) + " line " + std::to_string(number) +
                 (repeated ? ": the day key " + line + " stands a second time: passed over"
                           : " holds no day key: " + line));
    }

    // The day-key list could not be read, or holds no day while TEKICHU holds stored days: an
    // index written from it would lose every day.
    void KeepRaceIds(const std::string& reason) {
        keepRaceIds_ = true;
        PassOver(reason + ": SOKUDO/RACEID.txt is kept as it was");
    }

    void Write() {
        if (!keepRaceIds_ &&
            !common::PassOver(kStep, [&] { common::WriteFileAtomically(common::AppPath("SOKUDO/RACEID.txt"), raceIds_); }))
            ++result.passedOver;
        for (const auto& [date, content] : speedFiles_) {
            if (keptDates_.contains(date)) {
                result.speedLines -= static_cast<int>(std::count(content.begin(), content.end(), '\n'));
                continue;
            }
            if (common::PassOver(kStep, [&] {
                    common::WriteFileAtomically(common::AppPath(supplementary::SokudoHrCsv(date)), content);
                }))
                ++result.dates;
            else
                ++result.passedOver;
        }
    }

    IndexRebuild result;

private:
    void PassOver(const std::string& reason) {
        common::LogError(kStep, reason);
        ++result.passedOver;
    }

    void Race(const std::string& key, common::WrittenFieldReader& in) {
        if (dayRaces_++ == 0) {
            // Days of one date share its file, started afresh at the date's first race in the pass.
            const std::string date = key.substr(0, 8);
            if (date != currentDate_) {
                currentDate_ = date;
                currentFile_ = &speedFiles_[date];
                currentFile_->clear();
            }
        }
        std::string rc[10];
        for (int v = 1; v <= 9; ++v) in.Next(rc[v]);
        const std::string& raceNum = rc[3];

        Slots slots;
        std::string_view value;
        const auto distanceValue = common::StrictNumber(rc[9]);
        const std::int32_t distance = distanceValue ? common::CInt(*distanceValue) : 0;
        int reads = kHorseLineReads;
        while (in.NextTag(kHorseTags, value, reads) && value != "Q1") {
            // A horse line's 3rd and 4th values are the horse number and the rank, its 13th the
            // predicted time.
            std::string_view horse, rank, time;
            in.Skip(2);
            in.Next(horse);
            in.Next(rank);
            in.Skip(8);
            in.Next(time);
            slots.Fill(horse, rank, time, distance);
        }

        if (raceNum.size() != 2 || !common::IsDigits(raceNum)) {
            PassOver("day " + key + ": a race whose race number is not two digits: \"" + raceNum + "\"");
            return;
        }
        const std::string raceId = key + raceNum;
        raceIds_ += raceId + "\r\n";
        ++result.races;
        host_.setStatus(common::StatusBox::Text6, raceId + "TGFの外部指数作成中");
        if (!distanceValue) {
            PassOver("race " + raceId + ": its distance is no number: \"" + rc[9] + "\"");
            return;
        }
        const auto entries = slots.Line();
        if (entries.empty()) return;
        *currentFile_ += supplementary::SokudoLine(raceId, entries);
        ++result.speedLines;
    }

    common::Host& host_;
    std::string raceIds_;
    std::map<std::string, std::string> speedFiles_;
    std::set<std::string> keptDates_;  // dates with a day whose report is missing or holds no race
    bool keepRaceIds_ = false;
    std::string currentDate_;          // the date of the last day that had a race
    std::string* currentFile_ = nullptr;
    int dayRaces_ = 0;                 // "RC" lines of the day, written or passed over
};

}  // namespace

IndexRebuild RebuildSokudoFiles(common::Host& host) {
    Rebuild rebuild(host);
    // The mark stands until the rebuild has ended: one cut short leaves it for the next start.
    if (!common::PassOver(kStep, [] { common::SetStepMark(common::MarkedStep::IndexRebuild); })) ++rebuild.result.passedOver;
    host.setStatus(common::StatusBox::Text6, "TGFの外部指数作成開始");
    rebuild.result.unfinishedInputs = common::UnfinishedInputParts(common::MarkedStep::IndexRebuild, kStep);
    std::string list;
    const std::filesystem::path listFile = common::AppPath(kDayKeyList);
    const bool listRead = common::PassOver(kStep, [&] { list = common::ReadFileBytes(listFile); });
    if (!listRead) rebuild.KeepRaceIds(std::string(kDayKeyList) + " cannot be read");
    const std::vector<std::string> lines = common::SplitLines(list);
    std::vector<std::string> keys;
    std::vector<std::size_t> keyLines;  // where each key stands in `lines`
    std::set<std::string> listed;
    std::set<std::size_t> repeatedLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() != 14 || !common::IsDigits(lines[i])) continue;
        if (!listed.insert(lines[i]).second) {
            repeatedLines.insert(i);
            continue;
        }
        keys.push_back(lines[i]);
        keyLines.push_back(i);
    }
    const auto badLine = [&](std::size_t i) { rebuild.BadLine(i + 1, lines[i], repeatedLines.contains(i)); };
    if (keys.empty() && listRead && HoldsStoredDays()) {
        std::error_code ec;
        rebuild.KeepRaceIds(std::string(kDayKeyList) +
                            (std::filesystem::exists(listFile, ec) ? " holds no day key" : " is missing") +
                            " while TEKICHU holds stored days");
    }
    // A line that is no key, or a key again, is logged in its turn, before the day that follows it.
    std::size_t line = 0;
    std::string buffer;  // each day's report in turn
    for (std::size_t day = 0; day < keys.size(); ++day) {
        std::exception_ptr failure;
        common::WrittenFieldReader in = ReadStoredDay(keys[day], "lupRCM.txt", kStep, buffer, failure);
        for (; line < keyLines[day]; ++line) badLine(line);
        ++line;
        rebuild.Day(keys[day], in, failure);
        buffer = std::move(in).Release();
    }
    for (; line < lines.size(); ++line) badLine(line);
    rebuild.Write();
    if (!common::PassOver(kStep, [] { common::ClearStepMark(common::MarkedStep::IndexRebuild); })) ++rebuild.result.passedOver;
    return rebuild.result;
}

}  // namespace history

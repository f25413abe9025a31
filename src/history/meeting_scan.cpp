#include "history/meeting_scan.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/step_marks.h"
#include "common/record_file.h"
#include "common/text_file.h"

namespace fs = std::filesystem;

namespace history {

namespace {

constexpr std::string_view kStep = "過去予想成績";
constexpr std::string_view kListGap = "                  ";  // 18 half-width blanks
constexpr std::size_t kKeyLength = 14;

int PartOf(std::string_view key, std::size_t at, std::size_t length) {
    int n = 0;
    for (char c : key.substr(at, length)) n = n * 10 + (c - '0');
    return n;
}

bool Within(int n, int low, int high) { return n >= low && n <= high; }

// Newest date first; on one date course, meeting and day ascending: the order in which counting
// the date down and the rest up meets them.
bool ScanOrder(const std::string& a, const std::string& b) {
    const int date = a.compare(0, 8, b, 0, 8);
    if (date != 0) return date > 0;
    return a.compare(8, 6, b, 8, 6) < 0;
}

std::string DateStatus(std::string_view key) {
    std::string text(key.substr(0, 4));
    text += "年";
    text += key.substr(4, 2);
    text += "月";
    text += key.substr(6, 2);
    text += "日検索中";
    return text;
}

// The day title: the first six values of tekichu.txt, empty when the file holds none (`held`
// false).
std::vector<std::string> DayTitle(const fs::path& file, const std::string& relative, int& unreadable, bool& held) {
    common::WrittenFieldReader reader(common::ReadFileBytes(file));
    reader.LogUnreadableFields(kStep, relative);
    std::vector<std::string> title(6);
    held = false;
    for (auto& value : title) {
        if (!reader.Next(value)) break;
        held = true;
    }
    unreadable += reader.UnreadableFields();
    return title;
}

}  // namespace

bool InScanRange(std::string_view key) {
    if (key.size() != kKeyLength || !common::IsDigits(key)) return false;
    return Within(PartOf(key, 0, 4), 2024, 2028) && Within(PartOf(key, 4, 2), 1, 12) &&
           Within(PartOf(key, 6, 2), 1, 31) && Within(PartOf(key, 8, 2), 1, 10) &&
           Within(PartOf(key, 10, 2), 1, 7) && Within(PartOf(key, 12, 2), 1, 12);
}

std::vector<std::string> StoredDayKeys(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> keys;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        if (fs::exists(folder, ec)) throw std::runtime_error(folder + " is not a folder");
        return keys;
    }
    // Listed by readdir: a directory_iterator makes a path of every entry, which costs several
    // times what the listing itself does in a folder of a few hundred files.
    const auto fail = [&](const char* what) {
        throw fs::filesystem_error(what, folder, std::error_code(errno, std::generic_category()));
    };
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) fail("directory iterator cannot open directory");
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0) fail("directory iterator cannot advance");
            break;
        }
        const std::string_view name(entry->d_name);
        if (name.size() != kKeyLength + suffix.size() || name.substr(kKeyLength) != suffix) continue;
        const std::string_view key = name.substr(0, kKeyLength);
        if (InScanRange(key)) keys.emplace_back(key);
    }
    std::sort(keys.begin(), keys.end(), ScanOrder);
    return keys;
}

TekichuFolder ListMeetingKeys(const MeetingScan& scan, std::vector<std::string>& keys) {
    const std::string folder = common::AppPath("TEKICHU").string();
    std::error_code ec;
    if (!fs::exists(folder, ec)) return TekichuFolder::Missing;
    if (!common::PassOver(scan.step, [&] { keys = StoredDayKeys(folder, scan.suffix); }))
        return TekichuFolder::Unlisted;
    return TekichuFolder::Listed;
}

void MeetDay(common::Host& host, const MeetingScan& scan, const std::vector<std::string>& keys, std::size_t day) {
    if (day > 0 && keys[day].compare(0, 8, keys[day - 1], 0, 8) == 0) return;
    host.setStatus(common::StatusBox::Text6, DateStatus(keys[day]));
    if (scan.letEventsRun) scan.letEventsRun();
}

TekichuFolder ScanMeetingKeys(common::Host& host, const MeetingScan& scan) {
    std::vector<std::string> keys;
    const TekichuFolder folder = ListMeetingKeys(scan, keys);
    for (std::size_t day = 0; day < keys.size(); ++day) {
        MeetDay(host, scan, keys, day);
        if (scan.probe) scan.probe(keys[day]);
    }
    return folder;
}

std::string PastDayLine(const std::vector<std::string>& titleUtf8, std::string_view key) {
    std::string line;
    for (const auto& value : titleUtf8) line += value;
    line += kListGap;
    line += key;
    return line;
}

std::optional<std::string> KeyOfPastDayLine(std::string_view line) {
    if (line.size() < kKeyLength) return std::nullopt;
    std::string key(line.substr(line.size() - kKeyLength));
    if (!common::IsDigits(key)) return std::nullopt;
    return key;
}

PastDayList ScanTekichuDays(common::Host& host) {
    PastDayList days;
    days.unfinishedInputs = common::UnfinishedInputParts(common::MarkedStep::IndexRebuild, kStep);
    bool keepList = false;
    MeetingScan scan;
    scan.step = kStep;
    scan.suffix = "tekichu.txt";
    scan.probe = [&](const std::string& key) {
        const bool read = common::PassOver(kStep, [&] {
            const std::string relative = "TEKICHU/" + key + "tekichu.txt";
            bool held = false;
            const auto title = DayTitle(common::AppPath(relative), relative, days.passedOver, held);
            if (!held) {
                // An emptied day file cannot be listed; a day-key list written without the day
                // would drop it from the index as well.
                common::LogError(kStep, relative + " holds nothing: the day is not listed, and " +
                                            std::string(kDayKeyList) + " is kept as it was");
                ++days.passedOver;
                keepList = true;
                return;
            }
            // A title whose first value is empty is a day the list never shows.
            if (title[0].empty()) return;
            std::vector<std::string> shown;
            shown.reserve(title.size());
            for (const auto& value : title) shown.push_back(common::FromCp932(value));
            days.lines.push_back(PastDayLine(shown, key));
            days.keys.push_back(key);
        });
        if (!read) ++days.passedOver;
    };
    const TekichuFolder folder = ScanMeetingKeys(host, scan);
    if (folder == TekichuFolder::Unlisted) ++days.passedOver;
    if (folder == TekichuFolder::Missing || keepList) return days;

    // The day-key list always ends up holding this scan's days, written whole.
    std::string content;
    content.reserve(days.keys.size() * (kKeyLength + 2));
    for (const auto& key : days.keys) content += key + "\r\n";
    if (!common::PassOver(kStep, [&] {
            common::WriteFileAtomically(common::AppPath(kDayKeyList), content);
        }))
        ++days.passedOver;
    return days;
}

}  // namespace history

#include "history/atari_list.h"

#include <array>
#include <exception>
#include <optional>
#include <set>
#include <span>

#include "common/code_table.h"
#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "common/text_file.h"
#include "history/meeting_scan.h"
#include "history/stored_day_file.h"
#include "history/told_failures.h"

namespace history {

namespace {

constexpr std::string_view kReport = "lupRCM.txt";
constexpr std::string_view kListFile = "TEKICHU/ATARILIST.txt";
constexpr std::int64_t kBigPayout = 10000;  // yen; a big payout pays more
constexpr std::size_t kHitFields = 19;
constexpr std::size_t kPayoutFields = 22;
// The values that start the report lines read: a race, a hit, and a payout (read after a 馬連 hit only).
constexpr std::string_view kLineTags[] = {"RC", "AT", "KK"};

// Fields of the list's lines, numbered from 1 as the file's readers count them (index 0 unused).
// Values from the reports stay Shift-JIS bytes; the program's own words are encoded once.
using Fields = std::array<std::string, kPayoutFields + 1>;

struct Words {
    std::string year = common::ToCp932("年"), month = common::ToCp932("月"), day = common::ToCp932("日");
    std::string meeting = common::ToCp932("回");
    // By bet code 1 to 7 (index 0 unused).
    std::array<std::string, 8> bets = {"",
                                       common::ToCp932("馬連"),
                                       common::ToCp932("ワイド1"),
                                       common::ToCp932("ワイド2"),
                                       common::ToCp932("ワイド3"),
                                       common::ToCp932("馬単"),
                                       common::ToCp932("３連複"),
                                       common::ToCp932("３連単")};
    // By "KK" kind 1 to 3 (index 0 unused).
    std::array<std::string, 4> payouts = {"", common::ToCp932("単勝"), common::ToCp932("複勝"), common::ToCp932("枠連")};
};

const Words& Cp932Words() {
    static const Words words;
    return words;
}

struct Column {
    std::string_view caption;
    int twips;  // -1: the grid's own width
};

constexpr std::array<Column, kAtariGridCols> kColumns = {{
    {"年  本数", 1700}, {"月", 600},        {"日", 600},       {"場所", 600},     {"回次", 600},
    {"日次", 600},      {"R", 600},         {"レース名", 2200}, {"券種", -1},      {"配当(円)", -1},
    {"的中状況", 1700}, {"当たり目", 1700}, {"馬齢条件", 1700}, {"収得条件", 1700}, {"G", 600},
    {"芝ダ", 600},      {"距離(m)", -1},    {"SD", 600},       {"天場", 600},     {"本数", -1},
}};

// The list's line of the first `count` fields: each in double quotes, joined by commas, CR LF.
void AppendLine(std::string& out, const Fields& f, std::size_t count) {
    for (std::size_t i = 1; i <= count; ++i) {
        if (i > 1) out += ',';
        out += '"';
        out += f[i];
        out += '"';
    }
    out += "\r\n";
}

// The payout of a hit as a whole number of yen; none for any other text.
std::optional<std::int64_t> IntegerPayout(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return common::DigitsValue(text);
}

// One pass over the stored reports, the days taken up in scan order. Race, hit and payout fields
// carry over from line to line; of those a day's lines show, only the race can come from the days
// before (a hit or payout before the day's first race line).
class Collector {
public:
    explicit Collector(const common::CodeTable& codes) : codes_(codes), grid_(AtariGridCaptions()) {}

    // The day's lines into the list, its big payouts into the grid, each failure logged in its turn.
    void Day(const std::string& key, common::WrittenFieldReader& values, const std::exception_ptr& failure) {
        if (LogReadFailure(kAtariListStep, failure)) {
            ++passedOver_;
            return;
        }
        ++days_;
        const Words& w = Cp932Words();
        f_[1] = key.substr(0, 4) + w.year;
        f_[2] = key.substr(4, 2) + w.month;
        f_[3] = key.substr(6, 2) + w.day;
        f_[4] = common::ToCp932(codes_.LookupCode("2001", key.substr(8, 2), 4));
        f_[5] = key.substr(10, 2) + w.meeting;
        f_[6] = key.substr(12, 2) + w.day;
        umarenHit_ = false;
        std::string_view tag;  // a view into the report, read value by value
        bool whole = true;
        int races = 0;  // "RC" lines
        while (whole && values.NextTag(umarenHit_ ? std::span(kLineTags) : std::span(kLineTags).first(2), tag)) {
            if (tag == "RC") {
                ++races;
                whole = ReadRace(values);
            } else if (tag == "AT") {
                whole = ReadHit(values);
            } else {
                whole = ReadPayout(values);
            }
        }
        passedOver_ += values.UnreadableFields();
        if (!whole) PassOver("TEKICHU/" + key + std::string(kReport) + ": the file ends inside a line");
        if (races == 0) PassOver("TEKICHU/" + key + std::string(kReport) + " holds no race: the day's hits are not in ATARILIST.txt");
    }

    void CountFailure() { ++passedOver_; }

    AtariList Finish(std::string& content) {
        content = std::move(out_);
        AtariList list;
        list.tekichuFG = std::move(grid_);
        list.hitLines = hitLines_;
        list.payoutLines = payoutLines_;
        list.bigPayouts = bigPayouts_;
        list.days = days_;
        list.passedOver = passedOver_;
        return list;
    }

private:
    void PassOver(const std::string& reason) {
        common::LogError(kAtariListStep, reason);
        ++passedOver_;
    }

    // The next values of the line into `v`; false when the file ends before them.
    static bool Take(common::WrittenFieldReader& values, std::span<std::string> v) {
        for (std::string& value : v)
            if (!values.Next(value)) return false;
        return true;
    }

    bool ReadRace(common::WrittenFieldReader& values) {
        std::array<std::string, 11> v;
        if (!Take(values, std::span(v).first(1))) return false;
        // A race line without a race number leaves the race as it was; its other values are passed
        // over with the rest.
        if (v[0].empty()) return true;
        if (!Take(values, std::span(v).subspan(1))) return false;
        f_[7] = v[2] + "R";
        f_[8] = v[3].empty() ? v[4] : v[3];
        for (std::size_t i = 9; i <= 15; ++i) f_[i] = v[i - 5];
        return true;
    }

    bool ReadHit(common::WrittenFieldReader& values) {
        std::array<std::string, 5> v;
        if (!Take(values, v)) return false;
        const auto code = common::DigitsValue(v[1]).value_or(0);
        f_[16] = code >= 1 && code <= 7 ? Cp932Words().bets[static_cast<std::size_t>(code)] : std::string();
        if (code == 1) umarenHit_ = true;
        f_[17] = v[2];
        f_[18] = v[3];
        f_[19] = v[4];
        AppendLine(out_, f_, kHitFields);
        ++hitLines_;
        const auto payout = IntegerPayout(f_[19]);
        if (payout && *payout > kBigPayout) BigPayout();
        return true;
    }

    bool ReadPayout(common::WrittenFieldReader& values) {
        std::array<std::string, 3> v;
        if (!Take(values, v)) return false;
        const auto kind = common::DigitsValue(v[0]).value_or(0);
        if (kind < 1 || kind > 3) return true;
        if (kind == 3) umarenHit_ = false;
        f_[20] = Cp932Words().payouts[static_cast<std::size_t>(kind)];
        f_[21] = v[1];
        f_[22] = v[2];
        AppendLine(out_, f_, kPayoutFields);
        ++payoutLines_;
        return true;
    }

    // The grid has rows for 4,999 big payouts; later ones are counted and in the file only.
    void BigPayout() {
        const int row = ++bigPayouts_;
        if (row >= kAtariGridRows) return;
        const auto cell = [&](int col, std::string text) { grid_.SetText(row, col, std::move(text)); };
        const std::string number = std::to_string(row);
        cell(0, " " + Shown(f_[1]) + " " + number);
        for (int col = 1; col <= 7; ++col) cell(col, Shown(f_[static_cast<std::size_t>(col + 1)]));
        cell(8, Shown(f_[16]));
        cell(9, Shown(f_[19]));
        cell(10, Shown(f_[17]));
        cell(11, " " + Shown(f_[18]));
        for (int col = 12; col <= 18; ++col) cell(col, Shown(f_[static_cast<std::size_t>(col - 3)]));
        cell(19, number);
    }

    const common::CodeTable& codes_;
    common::GridCells grid_;
    Fields f_;
    bool umarenHit_ = false;
    std::string out_;
    int hitLines_ = 0, payoutLines_ = 0, bigPayouts_ = 0, days_ = 0, passedOver_ = 0;
};

// Days of the day-key list whose report is gone, each logged: the list written without them
// would lose their hits, as the index rebuild would lose their races. `found`: the reports listed.
bool ListedReportsMissing(const std::vector<std::string>& found, Collector& collector) {
    std::string listed;
    if (!common::PassOver(kAtariListStep, [&] { listed = common::ReadFileBytes(common::AppPath(kDayKeyList)); })) {
        collector.CountFailure();
        return false;
    }
    std::set<std::string> told(found.begin(), found.end());
    bool missing = false;
    for (const std::string& key : common::SplitLines(listed)) {
        if (!InScanRange(key) || !told.insert(key).second) continue;
        common::LogError(kAtariListStep, "TEKICHU/" + key + std::string(kReport) + " is missing: " + std::string(kListFile) +
                                             " is kept as it was");
        collector.CountFailure();
        missing = true;
    }
    return missing;
}

}  // namespace

common::GridCells AtariGridCaptions() {
    common::GridCells grid(kAtariGridRows, kAtariGridCols);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const int col = static_cast<int>(c);
        grid.SetText(0, col, std::string(kColumns[c].caption));
        if (kColumns[c].twips >= 0) grid.SetColWidth(col, kColumns[c].twips);
    }
    return grid;
}

AtariList CollectAtariList(common::Host& host, const std::function<void()>& letEventsRun) {
    // The mark stands until the pass has ended: one cut short leaves it for the next start.
    const bool marked = common::PassOver(kAtariListStep, [] { common::SetStepMark(common::MarkedStep::AtariList); });
    std::vector<std::string> unfinished = common::UnfinishedInputParts(common::MarkedStep::AtariList, kAtariListStep);
    const common::CodeTable codes = common::CodeTable::Load();
    Collector collector(codes);
    MeetingScan scan;
    scan.step = kAtariListStep;
    scan.suffix = kReport;
    scan.letEventsRun = letEventsRun;
    std::vector<std::string> keys;
    // The course names go into the list: from a code table there but not read whole they would
    // be blank. No day is read, and the list stays as the last pass left it.
    const TekichuFolder folder = codes.Damaged() ? TekichuFolder::Missing : ListMeetingKeys(scan, keys);
    if (codes.Damaged())
        common::LogError(kAtariListStep, std::string(kListFile) + " kept as it was: the code table cannot be read whole");
    // Each day is taken up after its date's status.
    std::string buffer;  // each day's report in turn
    for (std::size_t day = 0; day < keys.size(); ++day) {
        std::exception_ptr failure;
        common::WrittenFieldReader values = ReadStoredDay(keys[day], kReport, kAtariListStep, buffer, failure);
        MeetDay(host, scan, keys, day);
        if (!common::PassOver(kAtariListStep, [&] { collector.Day(keys[day], values, failure); })) collector.CountFailure();
        buffer = std::move(values).Release();
    }

    const bool keepList = folder == TekichuFolder::Listed && ListedReportsMissing(keys, collector);
    std::string content;
    AtariList list = collector.Finish(content);
    if (!codes.FileFound() || codes.RowsDropped() > 0 || codes.Damaged()) ++list.passedOver;
    if (folder == TekichuFolder::Unlisted) ++list.passedOver;
    // The list always holds this pass's hits, written whole; without TEKICHU there is no list.
    if (folder != TekichuFolder::Missing && !keepList &&
        !common::PassOver(kAtariListStep, [&] { common::WriteFileAtomically(common::AppPath(kListFile), content); }))
        ++list.passedOver;
    if (!marked) ++list.passedOver;
    if (!common::PassOver(kAtariListStep, [] { common::ClearStepMark(common::MarkedStep::AtariList); })) ++list.passedOver;
    list.unfinishedInputs = std::move(unfinished);
    return list;
}

std::string AtariListEndText(int failures, const std::vector<std::string>& unfinished) {
    return EndTextWithFailures(kAtariListEndText, failures, unfinished);
}

}  // namespace history

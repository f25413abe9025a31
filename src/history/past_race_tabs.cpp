#include "history/past_race_tabs.h"

#include <optional>
#include <vector>

#include "common/encoding.h"
#include "common/numbers.h"
#include "history/stored_day_file.h"

namespace history {

namespace {

constexpr std::string_view kStep = "過去予想成績";
namespace qb = common::qb;

constexpr const char* kCardCaptions[kRaceCardCols] = {"枠・馬番", "予想順位", "単勝人気", "入線順位", "性別",
                                                      "馬齢",     "馬名",     "ハンデKg", "騎手名",   "調教師名",
                                                      "推定タイム", "実タイム", "推定上3F", "実上3F"};
constexpr const char* kBetCaptions[kHitGridRows - 1] = {"馬連", "ワイド1", "ワイド2", "ワイド3", "馬単", "３連複", "３連単"};

// A value as two digits: the last two characters of its number + 100 ("5" gives "05"); nothing
// when the value is no number.
std::optional<std::string> TwoDigitValue(std::string_view value) {
    const auto n = common::StrictNumber(value);
    if (!n) return std::nullopt;
    return common::RightChars(common::NumberText(*n + 100), 2);
}

// A whole number from 1 to `high` (a row, a race, a bet code); nothing otherwise.
std::optional<int> Index(std::string_view value, int high) {
    const auto n = common::StrictNumber(value);
    if (!n || *n < 1 || *n > high || *n != static_cast<double>(static_cast<int>(*n))) return std::nullopt;
    return static_cast<int>(*n);
}

std::int8_t PlaceColour(const std::string& twoDigits) {
    if (twoDigits == "01") return qb::kLightYellow;
    if (twoDigits == "02") return qb::kLightCyan;
    if (twoDigits == "03") return qb::kLightGreen;
    if (twoDigits == "04") return qb::kLightBlue;
    if (twoDigits == "05") return qb::kLightMagenta;
    return qb::kWhite;
}

// The report's values, read once and walked in three passes.
class Values {
public:
    explicit Values(std::vector<std::string> values) : values_(std::move(values)) {}
    bool Next(std::string& value) {
        if (at_ >= values_.size()) return false;
        value = values_[at_++];
        return true;
    }
    void Rewind() { at_ = 0; }

private:
    std::vector<std::string> values_;
    std::size_t at_ = 0;
};

void FillTitles(Values& in, std::string_view dayTitle, PastRaceTabs& out) {
    std::string value;
    bool atEnd = false;
    for (auto& tab : out.tabs) {
        tab.Text2 = std::string(dayTitle);
        while (!atEnd && value != "RC") atEnd = !in.Next(value);
        if (atEnd) continue;
        value.clear();
        in.Next(value);  // race number without a leading zero
        in.Next(value);  // start time
        for (int v = 3; v <= 11; ++v) {
            if (!in.Next(value)) {
                atEnd = true;
                break;
            }
            const std::string shown = Shown(value);
            if (v == 3) {
                if (shown.empty()) break;
                tab.Text2 += shown + "R ";
            } else if (v == 9) {
                tab.Text2 += shown + "m ";
            } else if (v == 10) {
                tab.Text2 += " SD=" + shown + " ";
            } else {
                tab.Text2 += shown;
            }
        }
        value.clear();
    }
}

// Every line tagged `tag` with a first value, its `fields` values in v[1..fields] and the number
// of "RR" lines before it (the race counter; 0 before the first race).
template <class F>
void ForEachRaceLine(Values& in, std::string_view tag, int fields, F&& use) {
    int race = 0;
    std::string value;
    while (in.Next(value)) {
        if (value == "RR") {
            ++race;
            continue;
        }
        if (value != tag) continue;
        std::vector<std::string> v(static_cast<std::size_t>(fields) + 1);
        if (!in.Next(v[1]) || v[1].empty()) continue;
        for (int i = 2; i <= fields; ++i) in.Next(v[static_cast<std::size_t>(i)]);
        use(race, v);
    }
}

void FillCards(Values& in, PastRaceTabs& out) {
    ForEachRaceLine(in, "HS", 16, [&](int race, const std::vector<std::string>& v) {
        const auto row = Index(v[1], kRaceCardRows - 1);
        if (race < 1 || race > kPastRaceTabs || !row) return;
        auto& card = out.tabs[static_cast<std::size_t>(race - 1)].RACEFG;
        std::string horse = Shown(v[2]);
        if (const auto two = TwoDigitValue(v[3])) horse += "  " + *two;
        card.SetText(*row, 0, horse);
        for (int i = 4; i <= 6; ++i) {
            const auto two = TwoDigitValue(v[static_cast<std::size_t>(i)]);
            if (!two) continue;
            card.SetText(*row, i - 3, *two);
            card.SetColour(*row, i - 3, PlaceColour(*two));
        }
        for (int i = 7; i <= 16; ++i) card.SetText(*row, i - 3, Shown(v[static_cast<std::size_t>(i)]));
    });
}

void FillHits(Values& in, PastRaceTabs& out) {
    ForEachRaceLine(in, "AT", 5, [&](int race, const std::vector<std::string>& v) {
        const auto bet = Index(v[2], kHitGridRows - 1);
        if (race < 1 || race > kPastRaceTabs || !bet) return;
        auto& hits = out.tabs[static_cast<std::size_t>(race - 1)].TKFG;
        for (int c = 1; c <= 3; ++c) hits.SetText(*bet, c, Shown(v[static_cast<std::size_t>(c + 2)]));
    });
}

}  // namespace

PastRaceTab PreparedRaceTab() {
    PastRaceTab tab;
    auto& card = tab.RACEFG;
    for (int c = 0; c < kRaceCardCols; ++c) card.SetText(0, c, kCardCaptions[c]);
    for (int c = 0; c < kRaceCardCols; ++c) card.SetColWidth(c, c == 6 ? 1700 : c <= 7 ? 500 : 1000);
    for (int r = 1; r < kRaceCardRows; ++r)
        for (int c = 0; c < kRaceCardCols; ++c) card.SetColour(r, c, qb::kWhite);
    auto& hits = tab.TKFG;
    hits.SetText(0, 0, "券種");
    for (int r = 1; r < kHitGridRows; ++r) hits.SetText(r, 0, kBetCaptions[r - 1]);
    hits.SetText(0, 1, "的中順位");
    hits.SetText(0, 2, "当たり目");
    hits.SetText(0, 3, "配当（円）");
    hits.SetColWidth(1, 1700);
    hits.SetColWidth(2, 1700);
    return tab;
}

std::string RaceTabCaption(int tab) { return std::to_string(tab + 1) + "　R"; }

PastRaceTabs FillPastRaceTabs(std::string_view key, std::string_view selectedLine) {
    PastRaceTabs out;
    const PastRaceTab prepared = PreparedRaceTab();
    for (auto& tab : out.tabs) tab = prepared;
    const std::string dayTitle = common::LeftChars(selectedLine, 20);

    std::vector<std::string> values;
    if (!key.empty()) {
        auto in = StoredDayFile(key, "lupRCM.txt", kStep, out.unreadable);
        std::string value;
        while (in.Next(value)) values.push_back(value);
        out.unreadable += in.UnreadableFields();
    }
    Values report(std::move(values));
    FillTitles(report, dayTitle, out);
    report.Rewind();
    FillCards(report, out);
    report.Rewind();
    FillHits(report, out);
    return out;
}

}  // namespace history

#include "history/past_day_view.h"

#include <optional>

#include "common/error_log.h"
#include "common/numbers.h"
#include "history/meeting_scan.h"
#include "history/stored_day_file.h"

namespace history {

const std::string_view kRatesNote =
    "回収率・的中率は一場の全レース（通常12レース）を計算対象としています。馬連・ 馬単表（正順）・馬単裏（逆順）・"
    "ワイドは本線・準本線・伏兵ともに6点均等買い、3連複は7点均等買い、3連単は42点(7点ｘ6順）均等買いを想定して回収率を"
    "求めています。的中率は通常一日一場の全12レースを分母として計算しています。例えば4レース的中していれば4/12で的中率は"
    " 33.3％となります。なお、ワイドの的中率は一レースにつき最大3点を計数しますので、的中率が100％を超える事が有りますので"
    "ご注意下さい。なお、2008年2月9日と11日の京都2回3日は続行競馬となりましたので計算が不成立となり正確な値ではありません。"
    "また、1日12レースでない日は計算が少し正しくない場合があります。";

namespace {

constexpr std::string_view kStep = "過去予想成績";
namespace qb = common::qb;

// Reads `count` values into row `row` from column 0; values the file lacks leave their cells empty.
void ReadRow(common::WrittenFieldReader& in, common::GridCells& grid, int row, int count) {
    std::string value;
    for (int c = 0; c < count; ++c) {
        if (!in.Next(value)) return;
        grid.SetText(row, c, Shown(value));
    }
}

// The number at the start of a cell's text; 0 for an empty text or one without a number.
double CellNumber(const common::GridCells& grid, int row, int col) { return common::Val(grid.Text(row, col)); }

// The place of a hit ticket in a "予人" cell ("7 3": place 7, popularity 3): the text before the
// first blank among its first ten characters; 0 for an empty cell, nothing when there is no such
// blank or the place is not a whole number.
std::optional<int> HitPlace(const std::string& cell) {
    if (cell.empty()) return 0;
    const std::size_t blank = cell.find(' ');
    if (blank == std::string::npos || blank >= 10) return std::nullopt;
    const auto place = common::StrictNumber(std::string_view(cell).substr(0, blank));
    if (!place || *place != static_cast<double>(static_cast<int>(*place))) return std::nullopt;
    return static_cast<int>(*place);
}

// The tier band of a place in bet column c: 本線 yellow, 準本線 light cyan, 伏兵 light red.
std::int8_t TierColour(int col, int place) {
    int width = 6;  // 馬連 and the three ワイド columns
    if (col == 2) width = 12;        // 馬単 in its two orders
    else if (col == 3) width = 7;    // 3連複
    else if (col == 4) width = 42;   // 3連単 in its six orders
    if (place < 1 || place > 3 * width) return qb::kNone;
    static constexpr std::int8_t kBands[] = {qb::kLightYellow, qb::kLightCyan, qb::kLightRed};
    return kBands[(place - 1) / width];
}

void FillHitTable(std::string_view key, PastDay& day) {
    auto& grid = day.KakoSeiFG;
    auto in = StoredDayFile(key, "tekichu.txt", kStep, day.unreadable);
    // Line L of the file is row L-1: the title, the header, then four rows per race; a longer
    // file than twelve races is read no further.
    ReadRow(in, grid, 0, 6);
    for (int row = 1; row < grid.Rows() && !in.AtEnd(); ++row) ReadRow(in, grid, row, 8);
    day.unreadable += in.UnreadableFields();
    grid.SetColWidth(2, 1100);
    grid.SetColWidth(4, 1200);
    for (int p = 5; p < grid.Rows(); p += 4)
        for (int c = 1; c <= 7; ++c) {
            grid.SetColour(p - 3, c, qb::kWhite);
            const auto place = HitPlace(grid.Text(p, c));
            if (!place) continue;
            if (const auto colour = TierColour(c, *place); colour != qb::kNone) grid.SetColour(p - 3, c, colour);
        }
}

void FillRates(std::string_view key, PastDay& day) {
    auto& grid = day.TekiKaiFG;
    auto in = StoredDayFile(key, "kaiteki.txt", kStep, day.unreadable);
    ReadRow(in, grid, 0, 6);
    for (int row = 1; row <= 8; ++row) ReadRow(in, grid, row, 7);
    day.unreadable += in.UnreadableFields();
    for (int row = 3; row <= 8; ++row) {
        for (int c = 4; c <= 6; ++c)
            if (CellNumber(grid, row, c) > 30) grid.SetTextColour(row, c, qb::kNavy);
        for (int c = 1; c <= 3; ++c)
            if (CellNumber(grid, row, c) > 100) grid.SetTextColour(row, c, qb::kLightRed);
    }
}

void SetPcWidths(common::GridCells& grid) {
    for (int c = 1; c <= 7; ++c) grid.SetColWidth(c, 600);
    for (int c = 9; c <= 11; ++c) grid.SetColWidth(c, 950);
}

void FillPcHits(std::string_view key, PastDay& day) {
    auto& grid = day.TanFukuFG;
    SetPcWidths(grid);
    auto in = StoredDayFile(key, "tekichuPC.txt", kStep, day.unreadable);
    ReadRow(in, grid, 0, 6);
    for (int row = 1; row <= 37; ++row) ReadRow(in, grid, row, 12);
    day.unreadable += in.UnreadableFields();
    for (int p = 4; p <= 37; p += 3)
        for (int k = 1; k <= 11; ++k) {
            const double payout = CellNumber(grid, p, k);
            if (payout <= 0) continue;
            for (int r = p - 2; r <= p; ++r) grid.SetColour(r, k, qb::kLightYellow);
            if (payout > 10000) grid.SetTextColour(p, k, qb::kLightRed);
        }
}

void FillPcRates(std::string_view key, PastDay& day) {
    auto& grid = day.TFTekiKaiFG;
    SetPcWidths(grid);
    auto in = StoredDayFile(key, "kaitekiPC.txt", kStep, day.unreadable);
    std::string title;
    for (int i = 0; i < 6; ++i) in.Next(title);  // the title is not shown
    for (int row = 0; row <= 6; ++row) ReadRow(in, grid, row, 12);
    day.unreadable += in.UnreadableFields();
    for (int k = 1; k <= 11; ++k) {
        if (CellNumber(grid, 3, k) > 30) grid.SetTextColour(3, k, qb::kNavy);
        if (CellNumber(grid, 6, k) > 100) grid.SetTextColour(6, k, qb::kLightRed);
    }
}

}  // namespace

PastDay ShowPastDay(std::string_view selectedLine) {
    PastDay day;
    day.Text1 = std::string(kRatesNote);
    const auto key = KeyOfPastDayLine(selectedLine);
    if (!key) {
        common::LogError(kStep, "the chosen line ends in no day key: " + std::string(selectedLine));
        ++day.unreadable;
        day.races = FillPastRaceTabs({}, selectedLine);
        return day;
    }
    FillHitTable(*key, day);
    FillRates(*key, day);
    FillPcHits(*key, day);
    FillPcRates(*key, day);
    day.races = FillPastRaceTabs(*key, selectedLine);
    day.unreadable += day.races.unreadable;
    return day;
}

}  // namespace history

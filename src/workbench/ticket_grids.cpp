#include "workbench/ticket_grids.h"

#include <array>
#include <string>
#include <vector>

#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "records/fields.h"
#include "records/keys.h"

namespace workbench {

namespace {

using records::LayoutHR;

constexpr int kSide = 19;  // horse numbers 0 to 18 index the odds tables
constexpr std::size_t kPairCells = kSide * kSide;
constexpr std::size_t kTripleCells = kPairCells * kSide;

constexpr auto kUmatanKumi = records::hr::PayUmatanKumi;
constexpr auto kUmarenKumi = records::hr::PayUmarenKumi;
constexpr auto kWideKumi = records::hr::PayWideKumi;
constexpr auto kSanrenpukuKumi = records::hr::PaySanrenpukuKumi;
constexpr auto kSanrentanKumi = records::hr::PaySanrentanKumi;

std::filesystem::path KaimeFile(std::string_view raceKey12, std::string_view suffix) {
    std::string name = "KAIME/";
    name += raceKey12;
    name += suffix;
    return common::AppPath(name);
}

// Calls line(text) for each line of `content` (CR LF or LF), at most `limit` lines.
template <class F>
void ForEachLine(std::string_view content, std::size_t limit, F&& line) {
    std::size_t start = 0, count = 0;
    while (start < content.size() && count < limit) {
        std::size_t nl = content.find('\n', start);
        const std::size_t end = nl == std::string_view::npos ? content.size() : nl;
        std::size_t cut = end;
        if (cut > start && content[cut - 1] == '\r') --cut;
        line(content.substr(start, cut - start));
        ++count;
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
}

// The ticket keys of a sorted ticket file: the third field of each line, at most `capacity`.
std::vector<std::string> ReadTicketKeys(std::string_view raceKey12, std::string_view suffix, std::size_t capacity) {
    std::vector<std::string> keys;
    if (capacity == 0) return keys;
    const std::string content = ReadDetailFile(KaimeFile(raceKey12, suffix));
    keys.reserve(capacity);
    ForEachLine(content, capacity, [&](std::string_view line) {
        common::WrittenFieldReader fields{std::string(line)};
        fields.LogUnreadableFields("race detail", "KAIME/" + std::string(raceKey12) + std::string(suffix),
                                   static_cast<int>(keys.size()) + 1);
        std::string value;
        for (int f = 0; f < 3; ++f)
            if (!fields.Next(value)) value.clear();
        keys.push_back(std::move(value));
    });
    return keys;
}

// An odds table: one value per line, cells in file order, 0 past the file's last line.
template <std::size_t Cells>
std::vector<float> ReadOddsTable(std::string_view raceKey12, std::string_view suffix) {
    std::vector<float> table(Cells, 0.0f);
    const std::string content = ReadDetailFile(KaimeFile(raceKey12, suffix));
    std::size_t cell = 0;
    ForEachLine(content, Cells, [&](std::string_view line) { table[cell++] = static_cast<float>(common::Val(line)); });
    return table;
}

// A horse of a key: characters 2k+1 and 2k+2 as text, and their number when it is 01 to 18.
struct Horse {
    std::string text;
    int number = 0;  // 0: not a horse number
};

Horse HorseAt(std::string_view key, std::size_t k) {
    Horse h;
    if (2 * k < key.size()) h.text = std::string(key.substr(2 * k, 2));
    if (const auto n = common::DigitsValue(h.text); n && h.text.size() == 2 && *n >= 1 && *n <= 18)
        h.number = static_cast<int>(*n);
    return h;
}

// Three horses of a key, usable for odds and hits only when the key is exactly theirs.
struct Ticket {
    std::array<Horse, 3> horse;
    bool valid = false;
};

Ticket ReadTicket(std::string_view key, std::size_t horses) {
    Ticket t;
    t.valid = key.size() == 2 * horses;
    for (std::size_t k = 0; k < horses; ++k) {
        t.horse[k] = HorseAt(key, k);
        if (t.horse[k].number == 0) t.valid = false;
    }
    return t;
}

std::string Joined(const std::string& a, std::string_view sep, const std::string& b) { return a + std::string(sep) + b; }
std::string Joined(const std::string& a, std::string_view sep, const std::string& b, const std::string& c) {
    return a + std::string(sep) + b + std::string(sep) + c;
}

// The grid's fixed parts: captions, widths, tier captions and the note; its ticket area white and empty.
common::GridCells Frame(int rows, int cols, std::initializer_list<std::string_view> captions, bool widerTicketColumn,
                        int perTier, int ticketRows, std::string_view noteThird) {
    common::GridCells grid(rows, cols);
    int c = 0;
    for (std::string_view caption : captions) grid.SetText(0, c++, std::string(caption));
    grid.SetColWidth(0, 1200);
    if (widerTicketColumn) grid.SetColWidth(1, 1500);
    static constexpr std::array<std::string_view, 3> kTiers = {"本線　", "準本線 ", "伏兵　"};
    for (int tier = 0; tier < 3; ++tier)
        for (int k = 1; k <= perTier; ++k)
            grid.SetText(tier * perTier + k, 0, std::string(kTiers[static_cast<std::size_t>(tier)]) + std::to_string(k) + " 点目");
    const std::array<std::string_view, 4> note = {"買い目として", "強く推奨でき", noteThird, "みです。"};
    for (int i = 0; i < 4; ++i) grid.SetText(3 * perTier + 1 + i, 0, std::string(note[static_cast<std::size_t>(i)]));
    for (int r = 1; r <= ticketRows; ++r)
        for (int col = 1; col < cols; ++col) grid.SetColour(r, col, common::qb::kWhite);
    return grid;
}

common::GridCells PairFrame(int rows, int cols, std::initializer_list<std::string_view> captions, bool wider) {
    return Frame(rows, cols, captions, wider, 6, kPairTicketRows, "るには本線の");
}
common::GridCells TrioFrame(int rows, int cols, std::initializer_list<std::string_view> captions, bool wider) {
    return Frame(rows, cols, captions, wider, 7, kTrioTicketRows, "るのは本線の");
}

// Column 1 (the ticket) and column `oddsColumn` of a row take a colour.
void Paint(common::GridCells& grid, int row, int oddsColumn, std::int8_t colour) {
    grid.SetColour(row, 1, colour);
    grid.SetColour(row, oddsColumn, colour);
}

// The payout combinations of one bet kind, when the record belongs to the race (none otherwise).
template <class Ref>
std::vector<std::string_view> Winners(records::RecordView<LayoutHR> curHr, bool belongs, Ref kumi, int entries) {
    std::vector<std::string_view> out;
    if (!belongs) return out;
    for (int k = 0; k < entries; ++k) out.push_back(curHr.Get(kumi, k));
    return out;
}

}  // namespace

std::string ReadDetailFile(const std::filesystem::path& path) {
    std::string content;
    common::PassOver("race detail", [&] { content = common::ReadFileBytes(path); });
    return content;
}

int TicketListRunners(int ticketRunnerCount) { return ticketRunnerCount >= 1 && ticketRunnerCount <= 18 ? ticketRunnerCount : 18; }

TicketGrids FillTicketGrids(std::string_view raceKey12, int ticketRunnerCount, records::RecordView<LayoutHR> curHr) {
    TicketGrids g{PairFrame(kUmarenRows, kUmarenCols, {"馬連", "買い目", "実オッズ"}, false),
                  PairFrame(kUmatanRows, kUmatanCols, {"馬単", "買い目", "正順オッズ", "逆順オッズ"}, true),
                  TrioFrame(kSanrenRows, kSanrenCols, {"３連複", "買い目", "実オッズ"}, false),
                  TrioFrame(kSantanRows, kSantanCols,
                            {"３連単", "買い目", "第1順Odds", "第2順Odds", "第3順Odds", "第4順Odds", "第5順Odds", "第6順Odds"}, true)};
    // A key that is not twelve digits names no file of the race.
    if (raceKey12.size() != 12 || !common::IsDigits(raceKey12)) return g;

    const auto n = static_cast<std::size_t>(TicketListRunners(ticketRunnerCount));
    const std::size_t pairCapacity = n * (n - 1) / 2;
    const std::size_t trioCapacity = n >= 3 ? n * (n - 1) * (n - 2) / 6 : 0;

    const std::string payoutKey = records::RaceKey12(curHr.Get(records::kRaceId<LayoutHR>));
    const bool belongs = payoutKey == raceKey12;
    const auto wide = Winners(curHr, belongs, kWideKumi, 7);
    const auto umaren = Winners(curHr, belongs, kUmarenKumi, 3);
    const auto umatan = Winners(curHr, belongs, kUmatanKumi, 6);
    const auto sanrenpuku = Winners(curHr, belongs, kSanrenpukuKumi, 3);
    const auto sanrentan = Winners(curHr, belongs, kSanrentanKumi, 6);
    const auto odds = [](const std::vector<float>& table, bool valid, std::size_t line) {
        return common::SingleText(valid ? table[line] : 0.0f);
    };

    {  // 馬連: a wide winner light yellow, a quinella winner light green.
        const auto keys = ReadTicketKeys(raceKey12, "UMARENSORT.dat", pairCapacity);
        const auto table = ReadOddsTable<kPairCells>(raceKey12, "UMARENODDS.dat");
        common::GridCells& grid = g.UMARENGrid1;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            const Ticket t = ReadTicket(keys[i], 2);
            const auto& [a, b, unused] = t.horse;
            grid.SetText(row, 1, Joined(a.text, "-", b.text));
            grid.SetText(row, 2, odds(table, t.valid, static_cast<std::size_t>(a.number * kSide + b.number)));
            if (!t.valid) continue;
            for (std::string_view kumi : wide)
                if (kumi == keys[i]) Paint(grid, row, 2, common::qb::kLightYellow);
            for (std::string_view kumi : umaren)
                if (kumi == keys[i]) Paint(grid, row, 2, common::qb::kLightGreen);
        }
    }
    {  // 馬単: the predicted order light green, the reverse light magenta.
        const auto keys = ReadTicketKeys(raceKey12, "UMATANSORT.dat", pairCapacity);
        const auto table = ReadOddsTable<kPairCells>(raceKey12, "UMATANODDS.dat");
        common::GridCells& grid = g.UMATANGrid2;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            const Ticket t = ReadTicket(keys[i], 2);
            const auto& [a, b, unused] = t.horse;
            grid.SetText(row, 1, Joined(a.text, "→", b.text));
            grid.SetText(row, 2, odds(table, t.valid, static_cast<std::size_t>(a.number * kSide + b.number)));
            grid.SetText(row, 3, odds(table, t.valid, static_cast<std::size_t>(b.number * kSide + a.number)));
            if (!t.valid) continue;
            const std::string straight = a.text + b.text, reverse = b.text + a.text;
            for (std::string_view kumi : umatan) {
                if (kumi == straight) {
                    Paint(grid, row, 2, common::qb::kLightGreen);
                    grid.SetText(row, 1, "　　正順　　" + Joined(a.text, "→", b.text));
                }
                if (kumi == reverse) {
                    Paint(grid, row, 3, common::qb::kLightMagenta);
                    grid.SetText(row, 1, "　　逆順　　" + Joined(a.text, "→", b.text));
                }
            }
        }
    }
    {  // ３連複: a winner light green.
        const auto table = ReadOddsTable<kTripleCells>(raceKey12, "SANRENODDS.dat");
        const auto keys = ReadTicketKeys(raceKey12, "SANRENSORT.dat", trioCapacity);
        common::GridCells& grid = g.SANRENGrid3;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            const Ticket t = ReadTicket(keys[i], 3);
            const auto& [a, b, c] = t.horse;
            grid.SetText(row, 1, Joined(a.text, "-", b.text, c.text));
            grid.SetText(row, 2, odds(table, t.valid, static_cast<std::size_t>((a.number * kSide + b.number) * kSide + c.number)));
            if (!t.valid) continue;
            for (std::string_view kumi : sanrenpuku)
                if (kumi == keys[i]) Paint(grid, row, 2, common::qb::kLightGreen);
        }
    }
    {  // ３連単: the six orders of the trio; the first light green, the others light magenta.
        const auto table = ReadOddsTable<kTripleCells>(raceKey12, "SANRENTANODDS.dat");
        const auto keys = ReadTicketKeys(raceKey12, "SANRENTANSORT.dat", trioCapacity);
        common::GridCells& grid = g.SANTANGrid4;
        static constexpr std::array<std::array<int, 3>, 6> kOrders = {{{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};
        static constexpr std::array<std::string_view, 6> kPrefix = {" 第1順", " 第2順", " 第3順", " 第4順", " 第5順", " 第6順"};
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            const Ticket t = ReadTicket(keys[i], 3);
            const auto& h = t.horse;
            const std::string own = Joined(h[0].text, "→", h[1].text, h[2].text);
            grid.SetText(row, 1, own);
            for (std::size_t k = 0; k < 6; ++k) {
                const auto& o = kOrders[k];
                const std::size_t line = static_cast<std::size_t>((h[o[0]].number * kSide + h[o[1]].number) * kSide + h[o[2]].number);
                grid.SetText(row, static_cast<int>(k) + 2, odds(table, t.valid, line));
            }
            if (!t.valid) continue;
            for (std::size_t k = 0; k < 6; ++k) {
                const auto& o = kOrders[k];
                const std::string order = h[o[0]].text + h[o[1]].text + h[o[2]].text;
                const std::int8_t colour = k == 0 ? common::qb::kLightGreen : common::qb::kLightMagenta;
                for (std::string_view kumi : sanrentan) {
                    if (kumi != order) continue;
                    Paint(grid, row, static_cast<int>(k) + 2, colour);
                    grid.SetText(row, 1, std::string(kPrefix[k]) + own);
                }
            }
        }
    }
    return g;
}

}  // namespace workbench

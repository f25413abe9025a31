#include "workbench/payout_grid.h"

#include <array>
#include <string>
#include <string_view>

#include "common/numbers.h"
#include "records/payout_blocks.h"

namespace workbench {

namespace {

using records::LayoutHR;

// How an entry's combination is written.
enum class Kumi { Umaban, Waku, Pair, PairOrdered, Trio, TrioOrdered };

// A bet's row of the grid, its entries in the payout record and how their combination is written.
struct Block {
    int row;
    records::PayoutBlock entries;
    Kumi kind;
};

constexpr std::array kBlocks = {
    Block{1, records::payout::kTansyo, Kumi::Umaban},     Block{2, records::payout::kFukusyo, Kumi::Umaban},
    Block{3, records::payout::kWakuren, Kumi::Waku},      Block{4, records::payout::kUmaren, Kumi::Pair},
    Block{5, records::payout::kWide, Kumi::Pair},         Block{6, records::payout::kUmatan, Kumi::PairOrdered},
    Block{7, records::payout::kSanrenpuku, Kumi::Trio},   Block{8, records::payout::kSanrentan, Kumi::TrioOrdered},
};

constexpr std::array<std::string_view, 8> kBetTypes = {"単勝", "複勝", "枠連", "馬連", "ワイド", "馬単", "３連複", "３連単"};
constexpr std::array<std::string_view, 3> kEntryCaptions = {"当り目", "配当(円)", "人気"};

// The number a field's digits give, blanks ignored; 0 without digits ("000012340" is 12340).
std::int64_t FieldValue(std::string_view field) {
    std::string digits;
    for (char c : field)
        if (c != ' ') digits += c;
    return static_cast<std::int64_t>(common::Val(digits));
}

// Characters first..first+count-1 (1-based) of a field, as far as it reaches.
std::string_view Chars(std::string_view field, std::size_t first, std::size_t count) {
    return first - 1 < field.size() ? field.substr(first - 1, count) : std::string_view();
}

std::string CombinationText(std::string_view kumi, Kumi kind) {
    const auto join = [&](std::initializer_list<std::string_view> parts, std::string_view sep) {
        std::string text;
        bool first = true;
        for (std::string_view p : parts) {
            if (!first) text += sep;
            text += p;
            first = false;
        }
        return text;
    };
    switch (kind) {
        case Kumi::Umaban: return std::string(kumi);
        case Kumi::Waku: return join({Chars(kumi, 1, 1), Chars(kumi, 2, 1)}, "-");
        case Kumi::Pair: return join({Chars(kumi, 1, 2), Chars(kumi, 3, 2)}, "-");
        case Kumi::PairOrdered: return join({Chars(kumi, 1, 2), Chars(kumi, 3, 2)}, "→");
        case Kumi::Trio: return join({Chars(kumi, 1, 2), Chars(kumi, 3, 2), Chars(kumi, 5, 2)}, "-");
        case Kumi::TrioOrdered: return join({Chars(kumi, 1, 2), Chars(kumi, 3, 2), Chars(kumi, 5, 2)}, "→");
    }
    return {};
}

}  // namespace

common::GridCells PayoutGridFrame() {
    common::GridCells grid(kHaitoRows, kHaitoCols);
    for (int r = 1; r <= 8; ++r) grid.SetText(r, 0, std::string(kBetTypes[static_cast<std::size_t>(r - 1)]));
    grid.SetText(0, 0, "券種");
    for (int c = 1; c <= 15; ++c) grid.SetText(0, c, std::string(kEntryCaptions[static_cast<std::size_t>((c - 1) % 3)]));
    grid.SetColWidth(1, 1200);
    return grid;
}

void FillPayoutGrid(records::RecordView<LayoutHR> curHr, common::GridCells& haito) {
    for (const Block& b : kBlocks)
        for (int k = 0; k < b.entries.entries; ++k)
            for (int c = 1; c <= 3; ++c) haito.SetText(b.row, 3 * k + c, {});
    for (const Block& b : kBlocks) {
        for (int k = 0; k < b.entries.entries; ++k) {
            const std::string_view combination = curHr.Get(b.entries.kumi, k);
            // 単勝 and 複勝 are shown by their horse number, the others by their payout.
            const std::int64_t shown = FieldValue(b.kind == Kumi::Umaban ? combination : curHr.Get(b.entries.pay, k));
            if (shown == 0) continue;
            haito.SetText(b.row, 3 * k + 1, CombinationText(combination, b.kind));
            haito.SetText(b.row, 3 * k + 2, common::NumberText(FieldValue(curHr.Get(b.entries.pay, k))));
            haito.SetText(b.row, 3 * k + 3, common::NumberText(FieldValue(curHr.Get(b.entries.ninki, k))));
        }
    }
}

}  // namespace workbench

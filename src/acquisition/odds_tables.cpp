#include "acquisition/odds_tables.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "common/text_file.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/odds.h"
#include "records/record.h"
#include "records/record_check.h"

namespace acquisition {

namespace {

constexpr std::string_view kStep = "BuildOddsTables";
constexpr std::string_view kTableFolder = "KAIME";

// Horse numbers of a combination, two digits each. False for a Kumi that is not all digits,
// is cut short, or names a horse outside the table.
template <int N>
bool ReadKumi(std::string_view kumi, std::array<int, N>& horses) {
    if (kumi.size() != 2 * N) return false;
    for (int p = 0; p < N; ++p) {
        const auto horse = common::DigitsValue(kumi.substr(static_cast<std::size_t>(2 * p), 2));
        if (!horse || *horse >= kTableSide) return false;
        horses[p] = static_cast<int>(*horse);
    }
    return true;
}

// The odds of a field that is not digits, read leniently.
[[gnu::noinline]] float LenientCellValue(std::string_view oddsField) {
    const float value = static_cast<float>(records::OddsValue(oddsField));
    return value > 0 ? value : 0.0f;
}

// A table as the build keeps it until its text is written. A cell is 0 without odds; above 0,
// one more than where its odds field starts in `record`, when that field is digits and not all
// zeros (tenths of the odds), so that its text is made from those digits; below 0, minus one more
// than the place of its odds in `other`, for a field that is not such digits.
template <std::size_t Size>
struct CellTable {
    std::array<std::int32_t, Size> cells;
    std::string_view record;
    std::size_t width = 0;  // of the record's odds fields
    std::vector<float> other;

    const char* Digits(std::int32_t cell) const { return record.data() + (cell - 1); }

    // The odds of a cell as the public tables keep them: single precision, 0 where there are none.
    float Value(std::size_t i) const {
        const std::int32_t cell = cells[i];
        if (cell < 0) return other[static_cast<std::size_t>(-cell - 1)];
        if (cell == 0) return 0.0f;
        return common::SingleOfTenths(*common::DigitsValue(std::string_view(Digits(cell), width)));
    }
};

template <class L, int N, std::size_t Size, class Line>
int FillCells(std::string_view record, CellTable<Size>& table, Line line) {
    table.cells.fill(0);
    table.record = record;
    table.width = static_cast<std::size_t>(records::kOddsOdds<L>.width);
    table.other.clear();
    const records::RecordView<L> view(record);
    int set = 0;
    std::array<int, N> horses{};
    for (int i = 0; i < L::kEntryCount; ++i) {
        if (!ReadKumi<N>(view.Get(records::kOddsKumi<L>, i), horses)) continue;
        std::int32_t& cell = table.cells[static_cast<std::size_t>(line(horses))];
        const std::string_view odds = view.Get(records::kOddsOdds<L>, i);
        // Nearly every field is digits, tenths of the odds (all zeros: none); read as such they
        // are what the lenient reading gives, without it.
        float value = 0.0f;
        if (const auto tenths = common::DigitsValue(odds)) {
            if (*tenths > 0 && odds.size() == table.width) {
                cell = static_cast<std::int32_t>(odds.data() - record.data()) + 1;
                ++set;
                continue;
            }
            value = common::SingleOfTenths(*tenths);
        } else {
            value = LenientCellValue(odds);
        }
        if (value > 0) {
            table.other.push_back(value);
            cell = -static_cast<std::int32_t>(table.other.size());
        } else {
            cell = 0;
        }
        ++set;
    }
    return set;
}

int FillPairCells(OddsKind kind, std::string_view record, CellTable<kPairCells>& table) {
    const auto line = [](const std::array<int, 2>& h) { return PairLine(h[0], h[1]); };
    switch (kind) {
        case OddsKind::O2: return FillCells<records::LayoutO2, 2>(record, table, line);
        case OddsKind::O4: return FillCells<records::LayoutO4, 2>(record, table, line);
        default: break;
    }
    table.cells.fill(0);
    return 0;
}

int FillTripleCells(OddsKind kind, std::string_view record, CellTable<kTripleCells>& table) {
    const auto line = [](const std::array<int, 3>& h) { return TripleLine(h[0], h[1], h[2]); };
    switch (kind) {
        case OddsKind::O5: return FillCells<records::LayoutO5, 3>(record, table, line);
        case OddsKind::O6: return FillCells<records::LayoutO6, 3>(record, table, line);
        default: break;
    }
    table.cells.fill(0);
    return 0;
}

template <std::size_t Size>
void CopyValues(const CellTable<Size>& from, std::array<float, Size>& to) {
    for (std::size_t i = 0; i < Size; ++i) to[i] = from.Value(i);
}

// Room for one cell's line: its number text and CR LF.
constexpr std::size_t kCellRoom = common::kSingleTextMax + 2;

// The text of a table of `Size` cells written into `room` (Size * kCellRoom bytes, room for the
// longest lines), each line straight where it goes: "0" for a cell that `empty` finds without
// odds, else the number text `text` writes.
template <std::size_t Size, class Empty, class Text>
std::string_view WriteLines(char* room, Empty empty, Text text) {
    char* at = room;
    for (std::size_t i = 0; i < Size; ++i) {
        // Many cells are empty (horse 0, a horse named twice): their line is stored at one go,
        // with a byte to spare that the next line writes over.
        if (empty(i)) {
            std::memcpy(at, "0\r\n", 4);
            at += 3;
            continue;
        }
        at = text(i, at);
        *at++ = '\r';
        *at++ = '\n';
    }
    return {room, static_cast<std::size_t>(at - room)};
}

template <std::size_t Size>
std::string_view WriteTableText(const std::array<float, Size>& table, char* room) {
    return WriteLines<Size>(
        room, [&](std::size_t i) { return table[i] == 0.0f; },
        [&](std::size_t i, char* at) { return common::SingleTextTo(at, table[i]); });
}

// The text of a cell table, as WriteTableText writes the table of its values: tenths from their
// digits.
template <int Width, std::size_t Size>
std::string_view WriteCellsText(const CellTable<Size>& table, char* room) {
    return WriteLines<Size>(
        room, [&](std::size_t i) { return table.cells[i] == 0; },
        [&](std::size_t i, char* at) {
            const std::int32_t cell = table.cells[i];
            return cell > 0 ? common::TenthsDigitsTextTo<Width>(at, table.Digits(cell))
                            : common::SingleTextTo(at, table.other[static_cast<std::size_t>(-cell - 1)]);
        });
}

template <std::size_t Size>
std::string_view WriteCellsText(const CellTable<Size>& table, char* room) {
    return table.width == 7 ? WriteCellsText<7>(table, room) : WriteCellsText<6>(table, room);
}

// Room for the text of a table of `cells` cells. Not cleared: only the pages a text reaches are
// touched.
std::unique_ptr<char[]> TextRoom(std::size_t cells) { return std::make_unique_for_overwrite<char[]>(cells * kCellRoom); }

template <std::size_t Size>
std::string TableText(const std::array<float, Size>& table) {
    return std::string(WriteTableText(table, TextRoom(Size).get()));
}

// The last line of each race in a source file, races in the order they first appear.
struct RaceLine {
    std::string raceKey;
    std::string_view line;
};

std::vector<RaceLine> LastLinePerRace(OddsKind kind, const std::vector<std::string_view>& lines,
                                      OddsTablesResult& result) {
    std::vector<RaceLine> races;
    std::unordered_map<std::string, std::size_t> at;
    for (std::string_view line : lines) {
        // Every kind carries its RaceId at the same place, so the O2 layout reads it for all.
        std::string key = records::RaceKey12Of(records::RecordView<records::LayoutO2>(line));
        if (key.size() != 12 || !common::IsDigits(key)) {
            ++result.passedOver;
            common::LogError(kStep, std::string("a line of ") + std::string(OddsKindTag(kind)) +
                                        " odds without a race key of 12 digits was passed over");
            continue;
        }
        const auto [found, added] = at.try_emplace(key, races.size());
        if (added) races.push_back({std::move(key), line});
        else races[found->second].line = line;
    }
    return races;
}

// True when a table's text has no cell with odds (only "0" lines).
bool EmptyTable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '\r' || c == '\n'; });
}

// One race's table and the room for its text; kept from race to race.
struct RaceTable {
    // The tables are cleared for every race, so that no cell keeps another race's odds.
    std::unique_ptr<CellTable<kTripleCells>> triple = std::make_unique<CellTable<kTripleCells>>();
    std::unique_ptr<CellTable<kPairCells>> pair = std::make_unique<CellTable<kPairCells>>();
    std::unique_ptr<char[]> room = TextRoom(kTripleCells);
};

// Returns whether the source file held a line.
bool BuildKind(OddsKind kind, OddsStem stem, RaceTable& table, OddsTablesResult& result) {
    // Read once whole, and the records are views into it.
    const std::filesystem::path path = OddsLineFilePath(kind, stem);
    const common::LoadedFile source(path);
    std::vector<std::string_view> lines;
    result.recordsPassedOver += ForEachOddsRecord(kind, kStep, path, source.Bytes(),
                                                  [&](std::string_view record) { lines.push_back(record); });
    const std::vector<RaceLine> races = LastLinePerRace(kind, lines, result);
    const bool triple = kind == OddsKind::O5 || kind == OddsKind::O6;
    for (const RaceLine& race : races) {
        bool kept = false;
        const bool ok = common::PassOver(kStep, [&] {
            std::string_view text;
            if (triple) {
                FillTripleCells(kind, race.line, *table.triple);
                text = WriteCellsText(*table.triple, table.room.get());
            } else {
                FillPairCells(kind, race.line, *table.pair);
                text = WriteCellsText(*table.pair, table.room.get());
            }
            const std::filesystem::path path = OddsTablePath(race.raceKey, kind);
            // A line without odds (a blank record, one cut short) must not wipe out the odds an
            // earlier build wrote: the table stays, and the line counts as passed over.
            if (EmptyTable(text) && !EmptyTable(common::ReadFileBytes(path))) {
                common::LogError(kStep, "the " + std::string(OddsKindTag(kind)) + " line of race " + race.raceKey +
                                            " holds no odds: its table was kept");
                kept = true;
                return;
            }
            common::WriteFileAtomically(path, text);
        });
        if (ok && !kept) ++result.written;
        else ++result.passedOver;
    }
    // A file of damaged records only was not missing: it is told as damaged.
    return !source.Bytes().empty();
}

}  // namespace

std::string_view OddsTableSuffix(OddsKind kind) {
    switch (kind) {
        case OddsKind::O6: return "SANRENTANODDS.dat";
        case OddsKind::O5: return "SANRENODDS.dat";
        case OddsKind::O4: return "UMATANODDS.dat";
        case OddsKind::O2: return "UMARENODDS.dat";
        case OddsKind::O1: break;
    }
    return {};
}

std::filesystem::path OddsTablePath(std::string_view raceKey12, OddsKind kind) {
    std::string name(raceKey12);
    name += OddsTableSuffix(kind);
    return common::AppPath(kTableFolder) / name;
}

std::string OddsCellText(float value) { return common::SingleText(value); }

int FillPairTable(OddsKind kind, std::string_view record, PairTable& table) {
    CellTable<kPairCells> cells;
    const int set = FillPairCells(kind, record, cells);
    CopyValues(cells, table);
    return set;
}

int FillTripleTable(OddsKind kind, std::string_view record, TripleTable& table) {
    const auto cells = std::make_unique<CellTable<kTripleCells>>();
    const int set = FillTripleCells(kind, record, *cells);
    CopyValues(*cells, table);
    return set;
}

std::string PairTableText(const PairTable& table) { return TableText(table); }
std::string TripleTableText(const TripleTable& table) { return TableText(table); }

OddsTablesResult BuildOddsTables(std::int16_t source) {
    const OddsStem stem = source == kOddsSourceBreaking ? OddsStem::Realtime : OddsStem::ThisWeek;
    OddsTablesResult result;
    // The mark stands until the run has ended: a run cut short leaves it for the next start.
    const common::MarkedStep marked =
        source == kOddsSourceBreaking ? common::MarkedStep::BreakingOddsTables : common::MarkedStep::WeekOddsTables;
    if (!common::PassOver(kStep, [&] { common::SetStepMark(marked); })) ++result.passedOver;
    result.unfinishedInputs = common::UnfinishedInputParts(marked, kStep);
    // The main menu makes KAIME at start; a build run on its own must not fail for want of it.
    common::PassOver(kStep, [] { common::CreateFolders(common::AppPath(kTableFolder)); });
    // Each kind's tables come from its own source file: one that is missing or empty (odds not
    // fetched, or the service had none) is named, so that the build does not end as if it had
    // brought every kind up to date.
    common::InputCheck inputs(kStep, common::InputCheck::Need::Every);
    // Made with the first kind, inside its pass-over: memory that cannot be had fails that kind,
    // as any failure of its build, and the next kind tries again.
    std::unique_ptr<RaceTable> table;
    for (OddsKind kind : {OddsKind::O6, OddsKind::O5, OddsKind::O4, OddsKind::O2}) {
        bool held = false;
        // A file that cannot be read is a failure of its own, not a missing input.
        if (!common::PassOver(kStep, [&] {
                if (!table) table = std::make_unique<RaceTable>();
                held = BuildKind(kind, stem, *table, result);
            })) {
            held = true;
            ++result.passedOver;
        }
        inputs.Note(OddsLineFilePath(kind, stem), held);
        if (!held) result.missingKinds.push_back(kind);
    }
    result.noInput = inputs.Report() == common::kNoInputPart;
    if (!common::PassOver(kStep, [&] { common::ClearStepMark(marked); })) ++result.passedOver;
    return result;
}

std::string OddsTablesEndText(std::int16_t source, const OddsTablesResult& result) {
    std::vector<std::string> parts = result.unfinishedInputs;
    if (result.noInput) parts.emplace_back(common::kNoInputPart);
    else
        for (OddsKind kind : result.missingKinds) parts.push_back(NoOddsPart(kind));
    if (result.passedOver > 0) parts.push_back("処理できなかったオッズ " + std::to_string(result.passedOver) + " 件");
    if (result.recordsPassedOver > 0) parts.push_back(records::DamagedRecordsPart(result.recordsPassedOver));
    const common::MarkedStep step =
        source == kOddsSourceBreaking ? common::MarkedStep::BreakingOddsTables : common::MarkedStep::WeekOddsTables;
    const std::string runFirst = result.noInput ? common::RunFirstPart(step) : "";
    return std::string(source == kOddsSourceBreaking ? kBreakingOddsTablesEnd : kWeekOddsTablesEnd) +
           common::PassedOverNote(parts, runFirst);
}

}  // namespace acquisition

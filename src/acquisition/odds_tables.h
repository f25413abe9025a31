#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/odds_line_file.h"

// Odds tables: one file per race and bet kind in KAIME, one odds value per line for every horse
// number 0 to 18 in each position (first position outermost), so that the race detail view finds
// the odds of any ticket by its line number.
namespace acquisition {

/// Where the odds tables come from: 0 = this week's odds files, 1 = the breaking odds files.
/// Set by whatever opens the odds-table window, read when that window loads.
inline std::int16_t OddsSource = 0;
inline constexpr std::int16_t kOddsSourceThisWeek = 0;
inline constexpr std::int16_t kOddsSourceBreaking = 1;

/// The main menu's status texts around a build: this week's odds into Text2, breaking odds into
/// Text3.
inline constexpr std::string_view kWeekOddsTablesStart =
    "今週のオッズ処理を開始しました。しばらくお待ちください。。。。。。。。";
inline constexpr std::string_view kWeekOddsTablesEnd = "今週のオッズ処理終了";
inline constexpr std::string_view kBreakingOddsTablesStart =
    "速報オッズ処理を開始しました。しばらくお待ちください。。。。。。";
inline constexpr std::string_view kBreakingOddsTablesEnd = "速報オッズ処理終了";

/// Horse numbers index the tables from 0 to 18.
inline constexpr int kTableSide = 19;
inline constexpr int kPairCells = kTableSide * kTableSide;                // 361
inline constexpr int kTripleCells = kTableSide * kTableSide * kTableSide;  // 6859

/// A race's table of one kind: cells in file order, 0 where there are no odds.
using PairTable = std::array<float, kPairCells>;
using TripleTable = std::array<float, kTripleCells>;

/// File-name suffix of each table kind ("SANRENTANODDS.dat" for O6, ...).
std::string_view OddsTableSuffix(OddsKind kind);

/// KAIME/<raceKey12><suffix> under AppFolder.
std::filesystem::path OddsTablePath(std::string_view raceKey12, OddsKind kind);

/// Line index of a cell: a * 361 + b * 19 + c, a * 19 + b.
constexpr int TripleLine(int a, int b, int c) { return a * kPairCells + b * kTableSide + c; }
constexpr int PairLine(int a, int b) { return a * kTableSide + b; }

/// Text of one cell's line: up to seven significant digits, no blank or sign ("0", "12.3").
std::string OddsCellText(float value);

/// Fills `table` (cleared first) from one odds record of the kind (O2, O4: pairs). Entries whose
/// Kumi is not digits or names a horse outside 0 to 18 are passed over. Returns the number of
/// entries set.
int FillPairTable(OddsKind kind, std::string_view record, PairTable& table);
/// The same for triples (O5, O6).
int FillTripleTable(OddsKind kind, std::string_view record, TripleTable& table);

/// The content of a table file: one cell per line in order, each ending in CR LF.
std::string PairTableText(const PairTable& table);
std::string TripleTableText(const TripleTable& table);

/// What one build did.
struct OddsTablesResult {
    int written = 0;       ///< table files written
    int passedOver = 0;    ///< lines whose race key is not 12 digits, and files that failed
    bool noInput = false;  ///< none of the four source files held a line (each named in ERRORLOG.txt)
    /// The kinds whose source file was missing or held no line (each named in ERRORLOG.txt), in
    /// build order; their tables were left as they were.
    std::vector<OddsKind> missingKinds;
    /// The odds fetches' standing marks, as the end text names them.
    std::vector<std::string> unfinishedInputs;
};

/// The main menu's end text of a build from `source`: "今週のオッズ処理終了" or "速報オッズ処理終了",
/// followed, when the build had no source line, missed a kind's source ("3連単オッズがありません")
/// or passed something over, by a note in brackets that says so and points to ERRORLOG.txt.
std::string OddsTablesEndText(std::int16_t source, const OddsTablesResult& result);

/// Builds the odds tables from the line files chosen by `source` (kOddsSourceThisWeek or
/// kOddsSourceBreaking), in the order O6, O5, O4, O2. Each race of a source file gets one table
/// file of that kind, built from its last line in the file (a later line is a later delivery),
/// written through a scratch file and a rename. A missing or empty source file writes nothing
/// for its kind and is named in ERRORLOG.txt (noInput when all four are); tables of races the
/// files do not hold are left as they are, and so is a table that holds odds when the race's line
/// holds none (logged, passed over). Failures are logged and the build goes on with the next race. The source's
/// mark (ODDSTABLES.mark or BREAKINGODDSTABLES.mark) stands from the start of the build to its end.
OddsTablesResult BuildOddsTables(std::int16_t source);

}  // namespace acquisition

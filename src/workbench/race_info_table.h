#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "records/decoders.h"

// The title table of the week's races: row r is the title of race r (columns 0 to 11, column 12
// holds nothing), CP932 bytes as they go into RACETHISWEEKNSYOSAI.dat. Row 0 holds nothing; the
// table has a row for every race of the week.
namespace workbench {

inline constexpr int kRaceInfoColumns = 13;
using RaceInfoRow = std::array<std::string, kRaceInfoColumns>;

/// The columns of a title row.
namespace info {
inline constexpr int kRaceKey = 0;     // RaceKey12
inline constexpr int kRaceNumber = 1;  // race number without its leading zero
inline constexpr int kHassoTime = 2;   // post time hhmm
inline constexpr int kRaceNum = 3;     // race number, two digits
inline constexpr int kRaceName = 4;    // first 12 characters of Hondai, "" when they are all full-width blanks
inline constexpr int kSyubetu = 5;     // race kind
inline constexpr int kJyoken = 6;      // race condition
inline constexpr int kGrade = 7;       // first 4 characters of the grade
inline constexpr int kTrack = 8;       // first character of the track
inline constexpr int kKyori = 9;       // distance in metres
inline constexpr int kSpread = 10;     // "SD" in the file; the race spread in memory
inline constexpr int kWeatherGoing = 11;
}  // namespace info

/// The text the file holds in column 10 before the race spread replaces it in memory.
inline constexpr std::string_view kSpreadPlaceholder = "SD";

class RaceInfoTable {
public:
    /// Rows 0 to `races`, every cell empty.
    explicit RaceInfoTable(int races = 0);

    /// The highest race row.
    int RaceCount() const { return static_cast<int>(rows_.size()) - 1; }
    /// Cell of a race row; "" outside the table.
    const std::string& Cell(int race, int column) const;
    /// The whole row of a race; an empty row outside the table.
    const RaceInfoRow& Row(int race) const;
    /// Sets a cell or a row of a race 1 to RaceCount(); throws std::out_of_range outside.
    void Set(int race, int column, std::string text);
    void SetRow(int race, RaceInfoRow row);

private:
    std::vector<RaceInfoRow> rows_;
};

/// Which going code a track takes: the turf going for turf tracks and for every other track but
/// dirt, the dirt going for dirt. `dirtLast` is the highest dirt track code: the title of a race
/// record counts "23" to "29" as dirt, the runners' weather and going "23" to "49".
std::string_view GoingCode(std::string_view trackCD, std::string_view sibaBabaCD, std::string_view dirtBabaCD,
                           std::string_view dirtLast);
inline constexpr std::string_view kTitleDirtLast = "29";
inline constexpr std::string_view kRunnerDirtLast = "49";

/// Weather name (code kind "2011", column 2) followed by the going name (kind "2010", column 2),
/// as CP932 bytes.
std::string WeatherGoingText(const common::CodeTable& codes, std::string_view tenkoCD, std::string_view goingCD);

/// The title row of a race record (stored form) through the code table; column 10 holds "SD".
RaceInfoRow RaceTitle(records::RecordView<records::LayoutRA> race, const common::CodeTable& codes);

/// A row that holds only the race's key: a listed race without a race record.
RaceInfoRow KeyOnlyTitle(std::string_view raceKey12);

/// The line of RACETHISWEEKNSYOSAI.dat: columns 0 to 11, each in double quotes, joined by commas.
std::string TitleLine(const RaceInfoRow& row);

}  // namespace workbench

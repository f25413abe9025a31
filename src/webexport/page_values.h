#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "workbench/race_state.h"

// What the three web writers of a race print alike: the race's page values, the rows of its race
// card and the names of their files. Every text here is UTF-8 and not yet escaped.
namespace webexport {

/// A two-character number text without its leading zero ("05" gives "5", "10" stays "10"); any
/// other text as it is.
std::string WithoutLeadingZero(std::string_view text);

struct PageValues {
    // The race's identity, cut from its RaceId.
    std::string Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum;

    std::string PageMonth, PageDay, PageWeekday, PageRaceNo, PageNichiji, PageKaiji;
    std::string CourseName;
    /// Lower-cased; letters and digits only, or empty (it becomes part of file names).
    std::string CourseRomaji;
    /// Index 1 to 12 (0 unused): "bgnabygreen" for the race's own number, "bgnabyblue" otherwise.
    std::array<std::string_view, 13> RaceNavClass{};
    /// Pair tickets 1 to 6 (index 0 unused): first and second horse, empty beyond the race's pairs.
    std::array<std::array<std::string, 2>, 7> PagePairHorse{};
    /// Trio tickets 1 to 7 (index 0 unused): horses A, B, C, empty beyond the race's trios.
    std::array<std::array<std::string, 3>, 8> PageTrioHorse{};
};

/// The page values of `race`. Throws std::runtime_error when the race's id does not hold a real
/// date and a race number, or when the course's romaji cannot stand in a file name.
PageValues ComputePageValues(const workbench::RaceState& race, const common::CodeTable& codes);

/// One row of the race card.
struct RaceCardRow {
    int HorseNo = 0;
    std::string GateText;
    std::string_view GateClass;
    /// Whether the gate is written in white (gates 2, 3, 4 and 6).
    bool GateFont = false;
    std::string RankText;
    std::string HorseName;  // first 9 characters
    std::string Sex;
    std::string AgeText;
    std::string Weight;
    std::string Jockey;   // first 4 characters
    std::string Trainer;  // first 4 characters
};

/// The rows of horse numbers 1 to RunnerCount, texts decoded from the race state's CP932. A gate
/// outside 1 to 8 (or not a number) takes the class of the row before; the first row's "before"
/// is empty.
std::vector<RaceCardRow> RaceCardRows(const workbench::RaceState& race);

/// The race's six pair tickets, each its first and second horse joined by "-", and its seven
/// trio tickets, each its three horses joined by "-"; `separator` between two tickets. Horse texts
/// escaped, the separator written as given.
std::string JoinedPairTickets(const PageValues& page, std::string_view separator);
std::string JoinedTrioTickets(const PageValues& page, std::string_view separator);

/// What the pages print of the race's row of the week's title table, decoded (not escaped).
struct RaceTitleTexts {
    /// Column 3 without its leading zero.
    std::string RaceNumber;
    std::string Track;     // column 8
    std::string Distance;  // column 9, metres
    /// Characters 1 and 2, and 3 and 4, of the post time hhmm (column 2).
    std::string PostHour, PostMinute;
};
RaceTitleTexts RaceTitle(const workbench::RaceState& race);

/// Whether one of the race's runners is ranked first: the race gets a block or a section of the
/// day files only then.
bool HasTopRankedRunner(const workbench::RaceState& race);

/// File names under AppFolder.
std::string RacePageFile(const PageValues& page);
std::string DayBlockFile(const PageValues& page);
std::string DayPrintFile(const PageValues& page);

/// The full path of a web file named under AppFolder. Throws std::runtime_error when its folder is
/// missing: the program makes its web folders at start-up, and a writer never makes one.
std::filesystem::path WebFilePath(std::string_view relative);

}  // namespace webexport

#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "workbench/tickets.h"

// The files the ticket lists make for a race: the pair and trio lines of KAIME/<RaceKey12>.dat,
// the four sorted ticket files that the race detail view's ticket grids read back, and the five
// betting csv files, one per bet kind. Each is built whole in memory; the batch writes each once.
namespace workbench {

/// The pair lines then the trio lines of KAIME/<RaceKey12>.dat, in creation order, tagged
/// "Umaren" and "Sanrenpuku".
std::string KaimeTicketLines(std::string_view raceKey12, const RaceTickets& tickets);

/// The four sorted ticket files, one line per ticket in sorted order: key, tag, ticket key, value.
struct KaimeSortFiles {
    std::string Umaren;     // UMARENSORT.dat, "Umaren", ascending pairs
    std::string Umatan;     // UMATANSORT.dat, "Umatan", the higher-valued horse first
    std::string Sanren;     // SANRENSORT.dat, "Sanrenpuke", ascending trios
    std::string Sanrentan;  // SANRENTANSORT.dat, "sanrentan", trios as A, B, C
};
KaimeSortFiles KaimeSortFileBytes(std::string_view raceKey12, const RaceTickets& tickets);

/// The KAIME file of a race under AppFolder: KAIME/<RaceKey12><suffix> (".dat" for the ticket file,
/// "SORT.dat", "UMARENSORT.dat" ...). Throws std::invalid_argument for a key that is not twelve
/// digits.
std::string KaimeFileName(std::string_view raceKey12, std::string_view suffix);

/// A betting file: its name under AppFolder and its lines.
struct BetCsvFile {
    std::string RelativePath;  // UTF-8, e.g. "UMAREN/250831<course>11R.csv"
    std::string Bytes;
};

/// The name under AppFolder of a race's betting file in `folder` ("UMAREN", "TANSHO", ...):
/// <folder>/<yymmdd><course><RaceNum>R.csv. `courseName` is UTF-8, "" when the code table lacks
/// it. Throws std::invalid_argument when the course name is not a plain file-name part or the key
/// is not twelve digits.
std::string BetCsvFileName(std::string_view folder, std::string_view raceKey12, std::string_view courseName);

/// Betting lines "yyyymmdd,JyoCD,RaceNum,code,ticket,100" of one bet kind of a race.
class BetLines {
public:
    BetLines(std::string_view raceKey12, std::string_view code);
    /// One ticket: its horse numbers (two digits each) joined by "-".
    void Add(std::initializer_list<std::string_view> horses);
    std::string Take() { return std::move(out_); }

private:
    std::string prefix_;
    std::string out_;
};

/// The five betting files in the order 馬連, ワイド, 馬単, 3連複, 3連単: lines
/// "yyyymmdd,JyoCD,RaceNum,code,ticket,100" with CR LF for the best 7 pairs, 3 pairs, 7 pairs in
/// both orders, 10 trios and 10 trios in six orders each (fewer when the race has fewer).
/// `courseName` (UTF-8, "" when the code table lacks it) becomes part of the file names: throws
/// std::invalid_argument when it is not a plain file-name part or the key is not twelve digits,
/// so that none of the five is written.
std::array<BetCsvFile, 5> BetCsvFiles(std::string_view raceKey12, std::string_view courseName,
                                      const RaceTickets& tickets);

}  // namespace workbench

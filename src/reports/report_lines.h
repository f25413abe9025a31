#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "common/text_file.h"
#include "workbench/day_tallies.h"

// What the race-report writers share: the tagged report line, the tiers of the ticket lists,
// the bet codes of the hit lines, the small value formats and the two head lines of a day file.
// Texts are CP932 bytes as they go into the files.
namespace reports {

/// What a writer left out of a race, one text each ("<tag>: <reason>"), for the batch's log.
using LineNotes = std::vector<std::string>;
void NoteLeftOut(LineNotes& notes, std::string_view tag, std::string_view reason);

/// One tagged line ending in CR LF: the tag, then the fields, every text in double quotes and
/// a field without value as nothing.
std::string ReportLine(std::string_view tag, const std::vector<common::Field>& fields);

/// The tier of a ticket place: 本線 (H), 準本線 (J) or 伏兵 (F), and the place within it.
struct TicketTier {
    workbench::Tier Tier = workbench::Tier::Honsen;
    char Letter = 'H';
    int Place = 0;
};

/// Pair places 1-6, 7-12, 13-18; none beyond 18 or below 1.
std::optional<TicketTier> PairTier(int place);
/// Trio places 1-7, 8-14, 15-21; none beyond 21 or below 1.
std::optional<TicketTier> TrioTier(int place);

/// "本線", "準本線", "伏兵".
const std::string& TierWord(workbench::Tier tier);
/// "本線", "準本", "伏兵": the second tier shortened, as the hit tables write it.
const std::string& ShortTierWord(workbench::Tier tier);

/// The bet code of a hit line: 馬連 "1", the first three ワイド hits "2" to "4", 馬単 "5",
/// 3連複 "6", 3連単 "7".
enum class TekichuBetCode { Umaren = 1, Wide1, Wide2, Wide3, Umatan, Sanrenpuku, Sanrentan };
std::string BetCodeText(TekichuBetCode code);
/// The code of a race's n-th ワイド hit (n from 1): "2" to "4". A later one (a dead heat) has
/// none: it uses its hit number but gets no line, since "5" is 馬単's to every reader.
std::optional<TekichuBetCode> WideBetCode(int nth);

/// The integer text of a code of digits ("01" gives "1", "12" gives "12"); none when the code
/// is not digits.
std::optional<std::string> CodeIntegerText(std::string_view digits);

/// A key's text as a line shows it (common::FmtKumi2, FmtUmaban, ...); none when the key holds
/// no number.
using KeyFormat = std::optional<std::string> (*)(std::string_view);

/// A pair key A B as B A (four characters); empty for any other length.
std::string SwappedPair(std::string_view pair);

/// The first `n` characters of a CP932 text.
std::string FirstChars(std::string_view cp932, std::size_t n);

/// A horse number right-aligned in two characters (5 gives " 5", 12 gives "12").
std::string HorseText(int horse);

/// The age read as a whole number, right-aligned in two; two blanks when it holds no number.
std::string AgeText(std::string_view barei);

/// Flat track: TrackCD "00" to "49" as a two-character text; anything else (hurdles, blank) not.
bool IsFlatTrack(std::string_view trackCD);

/// The course name of a JyoCD (code kind "2001", column 4) as CP932; no value when the code
/// table lacks the course.
common::Field CourseField(const common::CodeTable& codes, std::string_view jyoCD);

/// The "DY" and "PL" head lines of a day file for a 16-byte RaceId; a line that cannot be made
/// is left out and noted.
std::string DayHeadLines(std::string_view raceId, const common::CodeTable& codes, LineNotes& notes);

/// CP932 of a UTF-8 word, made once per word.
const std::string& Cp932(std::string_view utf8);

}  // namespace reports

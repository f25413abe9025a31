#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/ex_record.h"
#include "engine/stats_records.h"

// What the thirty model items share: the run being labelled with the horse's earlier runs, the
// statistics held in memory, and the small readings every item is built from (lenient and strict
// numbers, floor, the logarithmic band, day counts, text ranges). An item's label must equal a
// label of the supplied model files byte for byte, so each of these follows the classic reading
// exactly.
namespace engine {

/// An item whose rule cannot be computed for this run (a field that must be a number is not, the
/// logarithm of 0 or of a negative number, a date that does not exist). The caller gives the item
/// a blank label and goes on with the others.
class ItemFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The statistics the items read. Loaded once per computation, after this week's horse subset
/// has been written.
struct ItemStatistics {
    StatsTable<SireDamStats> sires;    // STALLION.dat: items 13, 16, 20, 23
    StatsTable<SireDamStats> dams;     // MARE.dat: item 17
    StatsTable<HorseStats> horses;     // KYOSOBATHISWEEK.dat: items 8, 30
    StatsTable<PersonStats> jockeys;   // KISHUSEISEI.dat: item 7
    StatsTable<PersonStats> trainers;  // CHOKYOSEISEI.dat: item 19

    /// Damaged records of the five files, passed over (each logged).
    std::int64_t RecordsPassedOver() const {
        return sires.RecordsPassedOver() + dams.RecordsPassedOver() + horses.RecordsPassedOver() +
               jockeys.RecordsPassedOver() + trainers.RecordsPassedOver();
    }
};

/// Reads the five statistics files of the items from OPTION1N.
ItemStatistics LoadItemStatistics();

/// The run an item labels: run r of the horse (`current`), the horse's runs 1 to r - 1 oldest
/// first (`earlier`), and the statistics. r is earlier.size() + 1.
struct ItemRun {
    const ExRecord& current;
    std::span<const ExRecord> earlier;
    const ItemStatistics& stats;

    int R() const { return static_cast<int>(earlier.size()) + 1; }
    /// Run i of the horse, 1 to r (r is the current run).
    const ExRecord& Run(int i) const;
    /// The previous normal run P (r >= 2): run r - 1 when its IJyoCD is "0", else run r - 2;
    /// for r = 2 run 1 all the same. Nothing for r = 1.
    const ExRecord* Previous() const;
    /// Number of P (0 for r = 1).
    int PreviousNumber() const;
};

// ---- Reading fields ----------------------------------------------------------------------------

/// A field's bytes, zero bytes read as blanks.
std::string FieldOf(const ExRecord& record, records::Ref<LayoutEx> ref, int i = 0);

/// The lenient value: the number that the leading characters form, 0 when there is none.
double Lenient(std::string_view text);

/// The strict number: the text, blanks removed at both ends, as one number; throws ItemFailure
/// naming `what` otherwise.
double Strict(std::string_view text, std::string_view what);

/// The whole number a text gives: its strict number, a fraction rounded half to even.
std::int64_t StrictInteger(std::string_view text, std::string_view what);

/// Int: the largest whole number not above x.
std::int64_t Floor(double x);

/// Logarithmic band of x > 0: Int(ln(x) x 10 / ln(10)) in double precision, in this order (1000
/// gives 29). Throws ItemFailure naming `what` for x <= 0.
std::int64_t LogBand(double x, std::string_view what);

/// The track number T of a run: the whole number of its TrackCD.
int TrackNumber(const ExRecord& run);

/// a <= text <= b by character codes.
bool TextBetween(std::string_view text, std::string_view a, std::string_view b);

/// The last n characters of a text (the whole text when shorter).
std::string LastChars(std::string_view text, std::size_t n);

/// The text of a whole number: digits, "-" when negative, no blanks, no leading zeros.
std::string IntegerText(std::int64_t n);

// ---- Dates --------------------------------------------------------------------------------------

/// Day number of a calendar date from year, month and day texts; nothing when they are not
/// digits or name no date of the years 100 to 9999.
std::optional<std::int64_t> DayNumber(std::string_view year, std::string_view month, std::string_view day);

/// Days from date a to date b (day numbers) as the items count them: the last four characters of
/// the text of (days + 10000) read as a whole number, which is the day count itself for 0 to 9999.
std::int64_t ItemDays(std::int64_t a, std::int64_t b);

/// Day number of a run's race date (Year, MonthDay); throws ItemFailure when it is no date.
std::int64_t RaceDayNumber(const ExRecord& run);

// ---- Labels -------------------------------------------------------------------------------------

/// The label as stored in item k's field: left-aligned, blank-filled to the item's width, cut to
/// it when longer.
std::string FitLabel(int k, std::string_view text);

/// True for a pedigree number that names no horse: ten zeros or ten blanks.
bool IsNoHorse(std::string_view kettoNum);

/// True for a person code that names nobody: five zeros or five blanks.
bool IsNoPerson(std::string_view code);

}  // namespace engine

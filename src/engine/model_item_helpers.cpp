#include "engine/model_item_helpers.h"

#include <chrono>
#include <cmath>

#include "common/encoding.h"
#include "common/numbers.h"

namespace engine {

// ---- Statistics ---------------------------------------------------------------------------------

ItemStatistics LoadItemStatistics() {
    ItemStatistics stats;
    stats.sires = StatsTable<SireDamStats>::Load(kStallionFile);
    stats.dams = StatsTable<SireDamStats>::Load(kMareFile);
    stats.horses = StatsTable<HorseStats>::Load(kKyosobaThisWeekFile);
    stats.jockeys = StatsTable<PersonStats>::Load(kKishuSeiseiFile);
    stats.trainers = StatsTable<PersonStats>::Load(kChokyoSeiseiFile);
    return stats;
}

// ---- The run and its earlier runs ---------------------------------------------------------------

const ExRecord& ItemRun::Run(int i) const {
    if (i == R()) return current;
    if (i < 1 || i > R()) throw std::out_of_range("run " + std::to_string(i) + " of " + std::to_string(R()));
    return earlier[static_cast<std::size_t>(i - 1)];
}

int ItemRun::PreviousNumber() const {
    const int r = R();
    if (r < 2) return 0;
    if (r == 2) return 1;
    // Only run r - 1 is tested: run r - 2 is taken whatever its own IJyoCD.
    return FieldOf(Run(r - 1), ex::IJyoCD) == "0" ? r - 1 : r - 2;
}

const ExRecord* ItemRun::Previous() const {
    const int p = PreviousNumber();
    return p == 0 ? nullptr : &Run(p);
}

// ---- Reading fields -----------------------------------------------------------------------------

std::string FieldOf(const ExRecord& record, records::Ref<LayoutEx> ref, int i) {
    return common::BlankZeros(record.Get(ref, i));
}

double Lenient(std::string_view text) { return common::Val(text); }

double Strict(std::string_view text, std::string_view what) {
    const auto value = common::StrictNumber(text);
    if (!value) throw ItemFailure(std::string(what) + " is not a number: \"" + std::string(text) + "\"");
    return *value;
}

std::int64_t StrictInteger(std::string_view text, std::string_view what) { return common::CLng(Strict(text, what)); }

std::int64_t Floor(double x) { return static_cast<std::int64_t>(common::Int(x)); }

std::int64_t LogBand(double x, std::string_view what) {
    if (!(x > 0)) throw ItemFailure("no logarithm of " + common::NumberText(x) + " (" + std::string(what) + ")");
    // Kept in this order: the model's bands were made so, and 1000 gives 29, not 30.
    const double tenths = std::log(x) * 10.0;
    return Floor(tenths / std::log(10.0));
}

int TrackNumber(const ExRecord& run) {
    return static_cast<int>(StrictInteger(FieldOf(run, ex::TrackCD), "TrackCD"));
}

bool TextBetween(std::string_view text, std::string_view a, std::string_view b) {
    return a.compare(text) <= 0 && text.compare(b) <= 0;
}

std::string LastChars(std::string_view text, std::size_t n) {
    return std::string(text.size() <= n ? text : text.substr(text.size() - n));
}

std::string IntegerText(std::int64_t n) { return common::NumberText(n); }

// ---- Dates --------------------------------------------------------------------------------------

std::optional<std::int64_t> DayNumber(std::string_view year, std::string_view month, std::string_view day) {
    if (!common::IsDigits(year) || !common::IsDigits(month) || !common::IsDigits(day)) return std::nullopt;
    const int y = std::stoi(std::string(year));
    const unsigned m = static_cast<unsigned>(std::stoi(std::string(month)));
    const unsigned d = static_cast<unsigned>(std::stoi(std::string(day)));
    if (y < 100 || y > 9999) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
    if (!date.ok()) return std::nullopt;
    return std::chrono::sys_days(date).time_since_epoch().count();
}

std::int64_t ItemDays(std::int64_t a, std::int64_t b) {
    // Only the last four characters of the count's text are kept: 0 to 9999 days are themselves,
    // a longer span loses its leading digits.
    const std::string text = LastChars(IntegerText(b - a + 10000), 4);
    return StrictInteger(text, "day count");
}

std::int64_t RaceDayNumber(const ExRecord& run) {
    const std::string monthDay = FieldOf(run, ex::MonthDay);
    const std::string year = FieldOf(run, ex::Year);
    const auto day = DayNumber(year, std::string_view(monthDay).substr(0, 2), std::string_view(monthDay).substr(2, 2));
    if (!day) throw ItemFailure("race date " + year + "/" + monthDay + " is no date");
    return *day;
}

// ---- Labels -------------------------------------------------------------------------------------

std::string FitLabel(int k, std::string_view text) {
    const auto width = static_cast<std::size_t>(ItemLabelWidth(k));
    std::string label(width, ' ');
    records::FitInto(text, label.data(), width);
    return label;
}

bool IsNoHorse(std::string_view kettoNum) {
    return kettoNum == "0000000000" || kettoNum == "0" || kettoNum.empty() || kettoNum == "          ";
}

bool IsNoPerson(std::string_view code) { return code == "00000" || code == "     "; }

}  // namespace engine

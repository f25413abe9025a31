#include "workbench/race_info_table.h"

#include <algorithm>
#include <stdexcept>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/text_file.h"
#include "records/fields.h"
#include "records/keys.h"

namespace workbench {

namespace {

using RaView = records::RecordView<records::LayoutRA>;

constexpr std::string_view kTwelveFullWidthBlanks =
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40";

std::string Name(const common::CodeTable& codes, std::string_view kind, std::string_view code, int column) {
    return common::ToCp932(codes.LookupCode(kind, code, column));
}

}  // namespace

RaceInfoTable::RaceInfoTable(int races) : rows_(static_cast<std::size_t>(std::max(races, 0)) + 1) {}

const std::string& RaceInfoTable::Cell(int race, int column) const {
    static const std::string kEmpty;
    if (race < 1 || race > RaceCount() || column < 0 || column >= kRaceInfoColumns) return kEmpty;
    return rows_[static_cast<std::size_t>(race)][static_cast<std::size_t>(column)];
}

const RaceInfoRow& RaceInfoTable::Row(int race) const {
    static const RaceInfoRow kEmpty{};
    if (race < 1 || race > RaceCount()) return kEmpty;
    return rows_[static_cast<std::size_t>(race)];
}

void RaceInfoTable::Set(int race, int column, std::string text) {
    if (race < 1 || race > RaceCount() || column < 0 || column >= kRaceInfoColumns)
        throw std::out_of_range("no cell " + std::to_string(race) + "," + std::to_string(column) + " in the race titles");
    rows_[static_cast<std::size_t>(race)][static_cast<std::size_t>(column)] = std::move(text);
}

void RaceInfoTable::SetRow(int race, RaceInfoRow row) {
    if (race < 1 || race > RaceCount()) throw std::out_of_range("no row " + std::to_string(race) + " in the race titles");
    rows_[static_cast<std::size_t>(race)] = std::move(row);
}

std::string_view GoingCode(std::string_view trackCD, std::string_view sibaBabaCD, std::string_view dirtBabaCD,
                           std::string_view dirtLast) {
    // Codes compare as fixed-width texts.
    if (trackCD >= "23" && trackCD <= dirtLast) return dirtBabaCD;
    return sibaBabaCD;
}

std::string WeatherGoingText(const common::CodeTable& codes, std::string_view tenkoCD, std::string_view goingCD) {
    return common::ToCp932(codes.LookupCode("2011", tenkoCD, 2) + codes.LookupCode("2010", goingCD, 2));
}

RaceInfoRow RaceTitle(RaView race, const common::CodeTable& codes) {
    using namespace records;
    RaceInfoRow row{};
    row[info::kRaceKey] = RaceKey12(race.Get(kRaceId<LayoutRA>));
    const std::string_view raceNum = race.Get(kRaceNum<LayoutRA>);
    row[info::kRaceNumber] = common::NumberText(common::CLng(common::Val(raceNum)));
    row[info::kHassoTime] = std::string(race.Get(ra::HassoTime));
    row[info::kRaceNum] = std::string(raceNum);
    const std::string_view name = common::LeftCp932Chars(race.Get(ra::Hondai), 12);
    row[info::kRaceName] = name == kTwelveFullWidthBlanks ? std::string() : std::string(name);
    row[info::kSyubetu] = Name(codes, "2005", race.Get(ra::SyubetuCD), 4);
    row[info::kJyoken] = Name(codes, "2007", race.Get(ra::JyokenCD, 4), 2);
    row[info::kGrade] = common::ToCp932(common::LeftChars(codes.LookupCode("2003", race.Get(ra::GradeCD), 2), 4));
    row[info::kTrack] = common::ToCp932(common::LeftChars(codes.LookupCode("2009", race.Get(ra::TrackCD), 3), 1));
    row[info::kKyori] = std::string(race.Get(ra::Kyori));
    row[info::kSpread] = std::string(kSpreadPlaceholder);
    row[info::kWeatherGoing] = WeatherGoingText(
        codes, race.Get(ra::TenkoCD),
        GoingCode(race.Get(ra::TrackCD), race.Get(ra::SibaBabaCD), race.Get(ra::DirtBabaCD), kTitleDirtLast));
    return row;
}

RaceInfoRow KeyOnlyTitle(std::string_view raceKey12) {
    RaceInfoRow row{};
    row[info::kRaceKey] = std::string(raceKey12);
    return row;
}

std::string TitleLine(const RaceInfoRow& row) {
    std::vector<common::Field> fields;
    fields.reserve(12);
    for (int c = 0; c <= info::kWeatherGoing; ++c) fields.emplace_back(row[static_cast<std::size_t>(c)]);
    return common::WrittenFields(fields);
}

}  // namespace workbench

#include "reports/report_lines.h"

#include <map>
#include <mutex>

#include "common/encoding.h"
#include "common/numbers.h"

namespace reports {

void NoteLeftOut(LineNotes& notes, std::string_view tag, std::string_view reason) {
    notes.push_back(std::string(tag) + ": " + std::string(reason));
}

std::string ReportLine(std::string_view tag, const std::vector<common::Field>& fields) {
    // Written in place: a report has a line per hit and per runner, and copying the fields into a
    // list led by the tag cost more than the line.
    const common::Field head[] = {std::string(tag)};
    std::string line;
    line.reserve(tag.size() + fields.size() * 12 + 4);
    common::AppendWrittenFields(line, head);
    if (!fields.empty()) {
        line += ',';
        common::AppendWrittenFields(line, fields);
    }
    line += "\r\n";
    return line;
}

namespace {

std::optional<TicketTier> TierOf(int place, int width) {
    if (place < 1 || place > 3 * width) return std::nullopt;
    const int index = (place - 1) / width;
    static constexpr char kLetters[] = {'H', 'J', 'F'};
    return TicketTier{static_cast<workbench::Tier>(index), kLetters[index], place - index * width};
}

}  // namespace

std::optional<TicketTier> PairTier(int place) { return TierOf(place, 6); }
std::optional<TicketTier> TrioTier(int place) { return TierOf(place, 7); }

const std::string& TierWord(workbench::Tier tier) {
    switch (tier) {
        case workbench::Tier::Honsen: return Cp932("本線");
        case workbench::Tier::Junhonsen: return Cp932("準本線");
        default: return Cp932("伏兵");
    }
}

const std::string& ShortTierWord(workbench::Tier tier) {
    return tier == workbench::Tier::Junhonsen ? Cp932("準本") : TierWord(tier);
}

std::string BetCodeText(TekichuBetCode code) { return common::NumberText(static_cast<int>(code)); }

std::optional<TekichuBetCode> WideBetCode(int nth) {
    if (nth < 1 || nth > 3) return std::nullopt;
    return static_cast<TekichuBetCode>(static_cast<int>(TekichuBetCode::Wide1) + nth - 1);
}

std::optional<std::string> CodeIntegerText(std::string_view digits) {
    const auto value = common::DigitsValue(digits);
    if (!value) return std::nullopt;
    return common::NumberText(*value);
}

std::string SwappedPair(std::string_view pair) {
    return pair.size() == 4 ? std::string(pair.substr(2, 2)) + std::string(pair.substr(0, 2)) : std::string();
}

std::string FirstChars(std::string_view cp932, std::size_t n) { return std::string(common::LeftCp932Chars(cp932, n)); }

std::string HorseText(int horse) { return common::RightAlignedTwo(horse); }

std::string AgeText(std::string_view barei) {
    const auto age = common::StrictNumber(barei);
    return age ? common::RightAlignedTwo(static_cast<std::int64_t>(*age)) : std::string(2, ' ');
}

bool IsFlatTrack(std::string_view trackCD) { return trackCD.size() == 2 && trackCD >= "00" && trackCD <= "49"; }

common::Field CourseField(const common::CodeTable& codes, std::string_view jyoCD) {
    const std::string name = codes.LookupCode("2001", jyoCD, 4);
    if (name.empty()) return common::NoValue{};
    return common::ToCp932(name);
}

std::string DayHeadLines(std::string_view raceId, const common::CodeTable& codes, LineNotes& notes) {
    std::string out;
    if (raceId.size() != 16) {
        NoteLeftOut(notes, "DY", "the race has no identity");
        return out;
    }
    out += ReportLine("DY", {std::string("1"), std::string(raceId.substr(0, 8))});
    const auto kaiji = CodeIntegerText(raceId.substr(10, 2));
    const auto nichiji = CodeIntegerText(raceId.substr(12, 2));
    if (!kaiji || !nichiji) {
        NoteLeftOut(notes, "PL", "Kaiji or Nichiji holds no number");
        return out;
    }
    out += ReportLine("PL", {std::string("1"), *kaiji, CourseField(codes, raceId.substr(8, 2)), *nichiji,
                             std::string("11")});
    return out;
}

const std::string& Cp932(std::string_view utf8) {
    static std::mutex guard;
    static std::map<std::string, std::string, std::less<>> made;
    const std::lock_guard lock(guard);
    auto it = made.find(utf8);
    if (it == made.end()) it = made.emplace(std::string(utf8), common::ToCp932(utf8)).first;
    return it->second;
}

}  // namespace reports

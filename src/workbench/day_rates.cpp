#include "workbench/day_rates.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "records/decoders.h"

namespace workbench {

namespace {

using common::Field;

/// Int(numerator / divisor) in double, none for a divisor of 0.
RateTenths Rate(double numerator, double divisor) {
    if (divisor == 0) return std::nullopt;
    return static_cast<std::int64_t>(common::Int(numerator / divisor));
}

/// A rate as the files show it: tenths written as a decimal with at most one decimal ("33.3",
/// "25", "0"), nothing for none.
Field RateField(const RateTenths& rate) {
    if (!rate) return common::NoValue{};
    return static_cast<double>(*rate) / 10.0;
}

/// The words of the files, CP932 once.
struct Words {
    std::string year, month, day, kaiji, nichiji;
    std::string twoBlanks, kaishuritsu, percent, tekichuritsu, kenshu, honsen, junhonsen, fukuhei;
    std::vector<std::string> tierRows;  // the six rows' names, file order
    std::vector<std::string> pcKinds;   // the eleven PC kinds' captions
    std::string yosoRaces, hitRaces, hitRate, tickets, payout, returnRate;
};

const Words& W() {
    static const Words w = [] {
        using common::ToCp932;
        Words w;
        w.year = ToCp932("年");
        w.month = ToCp932("月");
        w.day = ToCp932("日");
        w.kaiji = ToCp932("回");
        w.nichiji = ToCp932("日目");
        w.twoBlanks = ToCp932("　　");
        w.kaishuritsu = ToCp932("回収率");
        w.percent = ToCp932("％");
        w.tekichuritsu = ToCp932("的中率");
        w.kenshu = ToCp932("券種");
        w.honsen = ToCp932("本線");
        w.junhonsen = ToCp932("準本線");
        w.fukuhei = ToCp932("伏兵");
        for (const char* row : {"馬連", "馬単表", "馬単裏", "３連複", "３連単", "ワイド"}) w.tierRows.push_back(ToCp932(row));
        for (const char* kind : {"単勝1", "複勝1", "単勝2", "複勝2", "馬連F", "馬連B", "馬単F", "  3連複B", "  3連単12",
                                 "  3連単23", "  3連単13"})
            w.pcKinds.push_back(ToCp932(kind));
        w.yosoRaces = ToCp932("予想R数");
        w.hitRaces = ToCp932("的中R数");
        w.hitRate = ToCp932("的中率");
        w.tickets = ToCp932("購入点数");
        w.payout = ToCp932("回収金額");
        w.returnRate = ToCp932("回収率");
        return w;
    }();
    return w;
}

/// The rows of the tier file, in file order.
constexpr TierKind kTierRows[] = {TierKind::Umaren,     TierKind::UmatanOmote, TierKind::UmatanUra,
                                  TierKind::Sanrenpuku, TierKind::Sanrentan,   TierKind::Wide};

std::string Line(const std::vector<Field>& fields) { return common::WrittenFields(fields) + "\r\n"; }

/// A two-digit code without its leading zero ("02" gives "2").
std::string CodeNumber(std::string_view digits) {
    return common::NumberText(static_cast<std::int64_t>(common::Val(digits)));
}

/// The title line of both files: the race's date, meeting, course and day of the meeting.
std::vector<Field> TitleFields(std::string_view raceId, std::string_view courseName) {
    using namespace records;
    const RaceId id(raceId);
    const std::string_view monthDay = id.Get(Locate<LayoutRaceId>("MonthDay"));
    const Words& w = W();
    return {std::string(id.Get(Locate<LayoutRaceId>("Year"))) + w.year,
            std::string(monthDay.substr(0, 2)) + w.month,
            std::string(monthDay.substr(2, 2)) + w.day,
            CodeNumber(id.Get(Locate<LayoutRaceId>("Kaiji"))) + w.kaiji,
            std::string(courseName),
            CodeNumber(id.Get(Locate<LayoutRaceId>("Nichiji"))) + w.nichiji};
}

std::string KaitekiContent(const std::vector<Field>& title, const DayTallies& day) {
    const Words& w = W();
    std::string out = Line(title);
    out += Line({w.twoBlanks, w.kaishuritsu, w.percent, w.twoBlanks, w.tekichuritsu, w.percent, w.twoBlanks});
    out += Line({w.kenshu, w.honsen, w.junhonsen, w.fukuhei, w.honsen, w.junhonsen, w.fukuhei});
    for (std::size_t row = 0; row < std::size(kTierRows); ++row) {
        const TierRates& rates = day.Rates(kTierRows[row]);
        std::vector<Field> fields{w.tierRows[row]};
        for (const RateTenths& r : rates.ReturnRate) fields.push_back(RateField(r));
        for (const RateTenths& r : rates.HitRate) fields.push_back(RateField(r));
        out += Line(fields);
    }
    return out;
}

std::string KaitekiPcContent(const std::vector<Field>& title, const DayTallies& day) {
    const Words& w = W();
    // One line: its caption and one value per PC kind.
    auto line = [&](const std::string& caption, auto value) {
        std::vector<Field> fields{caption};
        for (int k = 0; k < kPcTicketKinds; ++k) {
            const auto kind = static_cast<PcTicketKind>(k);
            fields.push_back(value(kind, day.Pc(kind)));
        }
        return Line(fields);
    };
    std::string out = Line(title);
    out += line(w.kenshu, [&](PcTicketKind kind, const PcKindTally&) -> Field {
        return w.pcKinds[static_cast<std::size_t>(kind)];
    });
    out += line(w.yosoRaces, [&](PcTicketKind, const PcKindTally&) -> Field { return day.DayRaceCount; });
    out += line(w.hitRaces, [](PcTicketKind, const PcKindTally& t) -> Field { return t.HitCount; });
    out += line(w.hitRate, [](PcTicketKind, const PcKindTally& t) { return RateField(t.HitRate); });
    out += line(w.tickets, [&](PcTicketKind kind, const PcKindTally& t) -> Field {
        return IsSingleTicketKind(kind) ? day.DayRaceCount : t.TicketTotal;
    });
    out += line(w.payout, [](PcTicketKind, const PcKindTally& t) -> Field { return t.PayTotal; });
    out += line(w.returnRate, [](PcTicketKind, const PcKindTally& t) { return RateField(t.ReturnRate); });
    return out;
}

}  // namespace

std::int64_t TierStake(TierKind kind) {
    switch (kind) {
        case TierKind::Sanrenpuku: return 700;
        case TierKind::Sanrentan: return 4200;
        default: return 600;
    }
}

void ComputeDayRates(DayTallies& day) {
    const double races = static_cast<double>(day.DayRaceCount);
    for (int k = 0; k < kPcTicketKinds; ++k) {
        const auto kind = static_cast<PcTicketKind>(k);
        PcKindTally& t = day.Pc(kind);
        t.HitRate = Rate(1000.0 * static_cast<double>(t.HitCount), races);
        const double tickets = IsSingleTicketKind(kind) ? races : static_cast<double>(t.TicketTotal);
        t.ReturnRate = Rate(10.0 * static_cast<double>(t.PayTotal), tickets);
    }
    for (int k = 0; k < kTierKinds; ++k) {
        const auto kind = static_cast<TierKind>(k);
        TierRates& rates = day.Rates(kind);
        const double staked = static_cast<double>(TierStake(kind)) * races;
        for (int t = 0; t < kTiers; ++t) {
            const auto tier = static_cast<Tier>(t);
            rates.HitRate[static_cast<std::size_t>(t)] =
                Rate(1000.0 * static_cast<double>(day.Kaiteki.TierHits(kind, tier)), races);
            rates.ReturnRate[static_cast<std::size_t>(t)] =
                Rate(1000.0 * static_cast<double>(day.Kaiteki.TierPayout(kind, tier)), staked);
        }
    }
}

std::string KaitekiFile(std::string_view meetingKey) { return "TEKICHU/" + std::string(meetingKey) + "kaiteki.txt"; }
std::string KaitekiPcFile(std::string_view meetingKey) {
    return "TEKICHU/" + std::string(meetingKey) + "kaitekiPC.txt";
}

void WriteDayRates(const RaceState& race, DayTallies& day, const common::CodeTable& codes) {
    if (!common::IsSafeKey(race.MeetingKey) || race.MeetingKey.size() != 14 || race.RaceId.size() != 16)
        throw std::runtime_error("the race's meeting key cannot name its rate files");
    // The race's number, characters 11 and 12 of its key; an unreadable one leaves the count.
    const std::string_view raceNum = race.RaceKey12.size() == 12 ? std::string_view(race.RaceKey12).substr(10) : "";
    if (common::IsDigits(raceNum))
        day.DayRaceCount = std::max(day.DayRaceCount, static_cast<std::int64_t>(common::Val(raceNum)));
    ComputeDayRates(day);

    const std::string course = common::ToCp932(codes.LookupCode("2001", race.RaceId.substr(8, 2), 4));
    const std::vector<Field> title = TitleFields(race.RaceId, course);
    common::WriteFileAtomically(common::AppPath(KaitekiFile(race.MeetingKey)), KaitekiContent(title, day));
    common::WriteFileAtomically(common::AppPath(KaitekiPcFile(race.MeetingKey)), KaitekiPcContent(title, day));
}

}  // namespace workbench

// Model items 11 to 20: body weight, age, the sire's value, the interval since the previous run,
// the previous run's odds, the sire's and dam's going rates, the jockey's age, the trainer's place
// rate and the sire's prize money per start.
#include "engine/model_items.h"

namespace engine {

namespace {

/// Weeks from run a to run b: Int(days / 7 + 0.5).
std::int64_t Weeks(const ExRecord& a, const ExRecord& b) {
    return Floor(static_cast<double>(ItemDays(RaceDayNumber(a), RaceDayNumber(b))) / 7 + 0.5);
}

/// 2 for 52 weeks or more, 1 for 27 to 51, 0 below (and for no interval).
int LongGap(std::int64_t weeks) {
    if (weeks >= 52) return 2;
    if (weeks >= 27) return 1;
    return 0;
}

/// The going group of a track for items 16 and 17, with the going code that selects its field.
SireDamStats::Group GoingGroup(int t) {
    if (t >= 0 && t <= 22) return SireDamStats::Group::Turf;
    if (t >= 23 && t <= 49) return SireDamStats::Group::Dirt;
    return SireDamStats::Group::Other;
}

std::string GoingCode(const ExRecord& run, SireDamStats::Group group) {
    return FieldOf(run, group == SireDamStats::Group::Dirt ? ex::DirtBabaCD : ex::SibaBabaCD);
}

std::string RateBand(double rate) { return "1" + IntegerText(Floor(rate / 4000)); }

}  // namespace

std::string CalcBataiju(const ItemRun& run) {
    const std::string body = FieldOf(run.current, ex::BaTaijyu);
    std::int64_t b = 44;
    if (Lenient(body) != 0) b = Floor(Strict(body, "BaTaijyu") / 8);
    if (b <= 51) b = 50;
    if (b >= 71) b = 70;
    return FitLabel(11, IntegerText(b));
}

std::string CalcBarei(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    const std::string birth = FieldOf(cur, ex::BirthDate);
    const auto born = DayNumber(std::string_view(birth).substr(0, 4), std::string_view(birth).substr(4, 2),
                                std::string_view(birth).substr(6, 2));
    if (!born) throw ItemFailure("BirthDate \"" + birth + "\" is no date");
    const std::int64_t days = ItemDays(*born, RaceDayNumber(cur));
    std::int64_t m = Floor(static_cast<double>(days) / 30 + 0.5);
    const std::int64_t lowest = t >= 0 && t <= 29 ? 27 : 40;  // hurdlers are counted from 40 months
    if (m < lowest) m = lowest;
    if (m > 90) m = 90;
    if (m > 42) m = Floor(static_cast<double>(m) / 3) + 43 - 14;  // older ages in steps of three months
    const std::string sexCD = FieldOf(cur, ex::SexCD);
    const std::string sex = sexCD == "1" ? "1" : sexCD == "2" ? "2" : "3";
    std::string label = sex + LastChars(IntegerText(m + 100), 2);
    if (label == "327" || label == "328" || label == "329" || label == "330" || label == "331" || label == "332" ||
        label == "333")
        label = "334";
    else if (label == "240")
        label = "241";
    else if (label == "340")
        label = "341";
    return FitLabel(12, label);
}

std::string CalcFatherValueLog(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string label = "00";
    if (const SireDamStats* sire = run.stats.sires.Find(FieldOf(run.current, ex::SireHansyokuNum))) {
        const double v = t >= 0 && t <= 29 ? sire->ValueFlat() : sire->ValueOther();
        if (v != 0) label = IntegerText(LogBand(v, "sire value"));
    }
    return FitLabel(13, label);
}

std::string CalcRaceKankaku(const ItemRun& run) {
    const int r = run.R();
    std::int64_t e = 0, d = 0, c = 0;
    if (r == 2) {
        e = Weeks(run.Run(1), run.current);
    } else if (r == 3) {
        e = Weeks(run.Run(2), run.current);
        d = Weeks(run.Run(1), run.Run(2));
    } else if (r >= 4) {
        const ExRecord& p = *run.Previous();
        e = Weeks(p, run.current);
        d = Weeks(run.Run(r - 2), p);  // 0 when P is run r - 2
        c = Weeks(run.Run(r - 3), run.Run(r - 2));
    }
    // Exclusive bands: 79 weeks and more stay apart from 52 to 78.
    if (e >= 79) e = 78;
    else if (e >= 52) e = 52;
    else if (e >= 27) e = 27;
    int f = 0, g = 0;
    if (e >= 1 && e <= 3) {
        if (d != 0) f = LongGap(d);
        if (c != 0) g = LongGap(c);
    }
    // A short interval (1 to 3 weeks) after a long rest: by the rest before P when there was one,
    // else by the rest before that. Rows e = 1, 2, 3; columns a gap of 27 to 51 and of 52 or more.
    constexpr std::int64_t kAfterRestBeforeP[3][2] = {{28, 29}, {30, 31}, {32, 33}};
    constexpr std::int64_t kAfterEarlierRest[3][2] = {{34, 35}, {36, 37}, {38, 39}};
    if (e >= 1 && e <= 3 && f != 0) e = kAfterRestBeforeP[e - 1][f - 1];
    if (e >= 1 && e <= 3 && g != 0) e = kAfterEarlierRest[e - 1][g - 1];
    bool sameCourse = false;
    if (r >= 4) sameCourse = FieldOf(*run.Previous(), ex::JyoCD) == FieldOf(run.current, ex::JyoCD);
    const std::string flag = sameCourse ? "1" : "2";
    std::string label = e == 0 ? flag + "1020" : flag + LastChars(IntegerText(e * 10 + 1000), 4);
    if (label == "21340") label = "21040";
    return FitLabel(14, label);
}

std::string CalcZensoOdds(const ItemRun& run) {
    const ExRecord* p = run.Previous();
    if (!p) return FitLabel(15, "10");
    const std::string odds = FieldOf(*p, ex::Odds);
    if (odds == "0000" || odds == "    ") return FitLabel(15, "10");
    return FitLabel(15, IntegerText(LogBand(Lenient(odds), "the previous run's Odds \"" + odds + "\"")));
}

std::string CalcFatherBaba(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string label = "10";
    if (const SireDamStats* sire = run.stats.sires.Find(FieldOf(run.current, ex::SireHansyokuNum))) {
        const auto group = GoingGroup(t);
        const std::string going = GoingCode(run.current, group);
        // The sire's record is read for good going only; its other going fields are left alone.
        if (going == "0" || going == "1") label = RateBand(sire->GoingPlaceRate(group, 1));
    }
    return FitLabel(16, label);
}

std::string CalcMotherBaba(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string label = "10";
    if (const SireDamStats* dam = run.stats.dams.Find(FieldOf(run.current, ex::DamHansyokuNum))) {
        const auto group = GoingGroup(t);
        const std::string going = GoingCode(run.current, group);
        int field = 0;
        if (going == "0" || going == "1") field = 1;
        else if (going == "2") field = 2;
        else if (going == "3") field = 3;
        else if (going == "4") field = 4;
        if (field != 0) label = RateBand(dam->GoingPlaceRate(group, field));
    }
    return FitLabel(17, label);
}

std::string CalcKishuNenrei(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    const std::string birthYear = FieldOf(cur, ex::KisyuBirthYear);
    std::string age = "25";  // a jockey missing from the jockey table
    if (birthYear != "    ")
        age = LastChars(IntegerText(StrictInteger(FieldOf(cur, ex::Year), "Year") + 100 -
                                  StrictInteger(birthYear, "KisyuBirthDate year")),
                        2);
    std::string band;
    if (TextBetween(age, "00", "20")) band = "20";
    else if (TextBetween(age, "21", "25")) band = "23";
    else if (TextBetween(age, "26", "30")) band = "28";
    else if (TextBetween(age, "31", "35")) band = "33";
    else if (TextBetween(age, "36", "40")) band = "38";
    else band = "43";
    const std::string minarai = t >= 0 && t <= 29 ? FieldOf(cur, ex::MinaraiCD) : "0";
    return FitLabel(18, "0" + band + minarai);
}

std::string CalcTrainerFukusho(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string label = "10";
    const std::string code = FieldOf(run.current, ex::ChokyosiCode);
    if (!IsNoPerson(code)) {
        if (const PersonStats* trainer = run.stats.trainers.Find(code)) {
            const double rate = t >= 0 && t <= 22    ? trainer->PlaceRateTurf()
                                : t >= 23 && t <= 49 ? trainer->PlaceRateDirt()
                                                     : trainer->PlaceRateOther();
            label = RateBand(rate);
        }
    }
    if (StrictInteger(label, "trainer band") > 110) label = "110";
    return FitLabel(19, label);
}

std::string CalcFatherArning(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string label = "0";
    if (const SireDamStats* sire = run.stats.sires.Find(FieldOf(run.current, ex::SireHansyokuNum))) {
        const bool flat = t >= 0 && t <= 29;
        const double count = flat ? sire->StartsFlat() : sire->StartsOther();
        const double sum = flat ? sire->PrizeFlat() : sire->PrizeOther();
        if (count != 0) {
            const double q = sum / count;
            if (q != 0) label = IntegerText(LogBand(q, "sire prize per start"));
        }
    }
    const std::int64_t b = StrictInteger(label, "sire prize band");
    if (b >= 1 && b <= 24) label = "25";
    else if (b > 46) label = "46";
    return FitLabel(20, label);
}

}  // namespace engine

// Model items 1 to 10: year and month, course and draw, previous distance and class, weight
// carried, prize money so far, race symbol, jockey's and horse's place rates, number of runs, and
// weight carried per body weight.
#include "engine/model_items.h"

namespace engine {

namespace {

/// Surface class of a run for item 3: "1" turf, "2" dirt tracks 23 and 24, "3" the rest.
std::string SurfaceClass(const ExRecord& run) {
    const std::string track = FieldOf(run, ex::TrackCD);
    if (TextBetween(track, "00", "22")) return "1";
    if (track == "23" || track == "24") return "2";
    return "3";
}

/// The course character of item 2: "01" to "09" their digit, "10" "A", anything else "B".
std::string CourseCharacter(const std::string& jyoCD) {
    if (jyoCD.size() == 2 && jyoCD[0] == '0' && jyoCD[1] >= '1' && jyoCD[1] <= '9') return jyoCD.substr(1);
    return jyoCD == "10" ? "A" : "B";
}

}  // namespace

std::string CalcYearMonth(const ItemRun& run) {
    return FitLabel(1, FieldOf(run.current, ex::Year) + FieldOf(run.current, ex::MonthDay).substr(0, 2));
}

std::string CalcCourseWaku(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    const std::string jyo = FieldOf(cur, ex::JyoCD);
    const std::string c = CourseCharacter(jyo);
    const std::string track = FieldOf(cur, ex::TrackCD);
    const std::string waku = FieldOf(cur, ex::Wakuban);
    std::string label;
    if (t == 10) label = c + FieldOf(cur, ex::Umaban) + track;
    else if (t == 11 || t == 12 || t == 17 || t == 18) label = c + waku + track;
    else if (t == 21) label = c + waku + "17";
    else if (t == 22) label = c + waku + "18";
    else if (t >= 23 && t <= 29) label = c + waku;
    else label = track;
    // The date is read whatever the course; only course 07 after the rebuilding gets the mark.
    const std::int64_t date = StrictInteger(FieldOf(cur, ex::Year) + FieldOf(cur, ex::MonthDay), "Year & MonthDay");
    if (date > 20230421 && jyo == "07") label += "K";
    return FitLabel(2, label);
}

std::string CalcPrevDistanceClass(const ItemRun& run) {
    const ExRecord& cur = run.current;
    std::string prevDistance = "5000", prevClass = "0", prevGrade = "0";
    if (const ExRecord* p = run.Previous()) {
        prevDistance = FieldOf(*p, ex::Kyori);
        const std::string kubun = FieldOf(*p, ex::DataKubun);
        prevClass = (kubun == "A" || kubun == "B") ? kubun : SurfaceClass(*p);
        prevGrade = FieldOf(*p, ex::GradeCD);
    }
    const std::string kyori = FieldOf(cur, ex::Kyori);
    const std::string longer = Lenient(kyori) > Lenient(prevDistance) ? "2" : "1";
    std::string label;
    if (SurfaceClass(cur) == "3") label = prevClass + longer;
    else if (prevClass == "0") label = FieldOf(cur, ex::JyokenCD, 4) + "0" + longer;
    else label = prevGrade + prevClass + (kyori == prevDistance ? "D" : longer);
    return FitLabel(3, label);
}

std::string CalcFutanjuryo(const ItemRun& run) {
    std::string label = FieldOf(run.current, ex::Futan).substr(0, 2);
    if (label == "55") label = "56";  // 55.0 to 55.9 kg are counted with 56 kg
    return FitLabel(4, label);
}

std::string CalcRuikeiHonshokin(const ItemRun& run) {
    if (run.R() == 1) return FitLabel(5, "00");
    std::int64_t sum = 0;  // 64-bit: a long career of big prizes passes the 32-bit range
    for (const ExRecord& earlier : run.earlier) sum += StrictInteger(FieldOf(earlier, ex::Honsyokin), "Honsyokin");
    if (sum == 0) return FitLabel(5, "00");
    const std::int64_t n = LogBand(static_cast<double>(sum), "prize sum");
    if (n == 0) return FitLabel(5, "00");
    if (n >= 1 && n <= 66) return FitLabel(5, IntegerText(n));
    return FitLabel(5, "66");
}

std::string CalcKyosokigo(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string label = FieldOf(run.current, ex::KigoCD).substr(0, 2);
    if ((t == 23 || t == 24) && label == "N2") label = "N0";
    return FitLabel(6, label);
}

std::string CalcKishuFukusho(const ItemRun& run) {
    const int t = TrackNumber(run.current);
    std::string raw = "10";
    const std::string code = FieldOf(run.current, ex::KisyuCode);
    if (!IsNoPerson(code)) {
        if (const PersonStats* jockey = run.stats.jockeys.Find(code)) {
            const double rate = t >= 0 && t <= 22    ? jockey->PlaceRateTurf()
                                : t >= 23 && t <= 29 ? jockey->PlaceRateDirt()
                                                     : jockey->PlaceRateOther();
            raw = "1" + IntegerText(Floor(rate / 4000));
        }
    }
    const std::int64_t whole = StrictInteger(raw, "jockey band");
    if (whole < 0 || whole > 19) raw = "19";
    if (raw == "10") raw = "11";
    return FitLabel(7, raw);
}

std::string CalcKyosobaFukusho(const ItemRun& run) {
    std::string label = "10";
    const std::string ketto = FieldOf(run.current, ex::KettoNum);
    if (!IsNoHorse(ketto)) {
        if (const HorseStats* horse = run.stats.horses.Find(ketto)) label = IntegerText(Floor(horse->PlaceRate() / 10000));
    }
    return FitLabel(8, label);
}

std::string CalcRaceSuu(const ItemRun& run) {
    const int r = run.R();
    if (r == 1) return FitLabel(9, "001");
    if (r <= 50) return FitLabel(9, LastChars(IntegerText(r + 999), 3));  // r - 1, zero-filled
    return FitLabel(9, "050");
}

std::string CalcFutanJuryoritu(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const std::string futan = FieldOf(cur, ex::Futan);
    const std::string body = FieldOf(cur, ex::BaTaijyu);
    std::int64_t b = 100;
    if (Lenient(futan) > 0 && Lenient(body) > 0) {
        const double carried = Strict(futan, "Futan") * 0.1;
        b = Floor(carried * 1000 / (Strict(body, "BaTaijyu") + carried) + 0.5);
        if (b < 96) b = 96;
        if (b > 114) b = 114;
    }
    b = Floor(static_cast<double>(b) / 2) * 2;
    const std::string sex = FieldOf(cur, ex::SexCD);
    if (sex != "1" && sex != "3") b += 200;
    if (b == 300) b = 100;  // a filly of ratio 100 shares the label of no body weight
    return FitLabel(10, LastChars(IntegerText(b + 1000), 3));
}

}  // namespace engine

// Model items 21 to 30: grade and condition, distance and course part, the sire's distance rate,
// horse number, symbol or birth month, the previous run's time difference, meeting and day,
// registered runners, weather, going and post time, and the horse's prize money per start.
#include "engine/model_items.h"

#include "common/numbers.h"

namespace engine {

namespace {

/// Distance class 1 (up to 1600 m), 2 (1601 to 2200 m) or 3 (the rest, negative ones included).
int DistanceClass(double k) {
    if (k >= 0 && k <= 1600) return 1;
    if (k >= 1601 && k <= 2200) return 2;
    return 3;
}

}  // namespace

std::string CalcGradeJoken(const ItemRun& run) {
    return FitLabel(21, FieldOf(run.current, ex::GradeCD) + FieldOf(run.current, ex::JyokenCD, 4));
}

std::string CalcKyoriCourse(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    // On the flat the label is cut to five characters: the first of the course part stays.
    if (t >= 0 && t <= 29) return FitLabel(22, FieldOf(cur, ex::Kyori) + FieldOf(cur, ex::CourseKubunCD));
    const double k = Strict(FieldOf(cur, ex::Kyori), "Kyori");
    if (k >= 0 && k <= 2800) return FitLabel(22, "2800");
    if (k >= 2801 && k <= 2999) return FitLabel(22, "2900");
    if (k >= 3000 && k <= 3500) return FitLabel(22, "3500");
    return FitLabel(22, "4000");
}

std::string CalcFatherKyoriFukusho(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    std::string label = "10";
    if (const SireDamStats* sire = run.stats.sires.Find(FieldOf(cur, ex::SireHansyokuNum))) {
        using Group = SireDamStats::Group;
        int distanceClass = 1;  // the other tracks have one value for every distance
        Group group = Group::Other;
        if (t >= 0 && t <= 49) {
            group = t <= 22 ? Group::Turf : Group::Dirt;
            distanceClass = DistanceClass(Strict(FieldOf(cur, ex::Kyori), "Kyori"));
        }
        label = IntegerText(distanceClass) + IntegerText(Floor(sire->DistancePlaceRate(group, distanceClass) / 4000));
    }
    // Band 0 of every class shares "10"; bands 10 to 30 are held at 9; higher bands stay.
    const std::int64_t v = StrictInteger(label, "sire distance band");
    if (v == 0 || v == 10 || v == 20 || v == 30) label = "10";
    else if (v >= 110 && v <= 130) label = "19";
    else if (v >= 210 && v <= 230) label = "29";
    else if (v >= 310 && v <= 330) label = "39";
    return FitLabel(23, label);
}

std::string CalcUmabanBand(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    const std::string umaban = FieldOf(cur, ex::Umaban);
    if (t >= 0 && t <= 24) return FitLabel(24, umaban + "1");
    const double u = Strict(umaban, "Umaban");
    return FitLabel(24, u >= 0 && u <= 14 ? umaban : "14");
}

std::string CalcUmakigoTuki(const ItemRun& run) {
    const std::string kigo = FieldOf(run.current, ex::UmaKigoCD);
    if (kigo != "00") return FitLabel(25, kigo);
    return FitLabel(25, FieldOf(run.current, ex::BirthMonth) + "1");
}

std::string CalcZensoTimediff(const ItemRun& run) {
    const ExRecord* p = run.Previous();
    if (!p) return FitLabel(26, "0099");
    const std::string diff = FieldOf(*p, ex::TimeDiff);
    std::string label;
    if (diff == "0000" || diff == "    ") label = "0099";
    else if (diff == "+999" || diff == "-999" || diff == "9999") label = "0099";
    else if (diff == "-000") label = "0001";
    else if (diff == "-001") label = "0002";
    else if (diff == "-002") label = "0003";
    else if (diff == "-003" || diff == "-004") label = "0004";
    else if (TextBetween(diff, "-005", "-009")) label = "0005";
    else if (TextBetween(diff, "-010", "-998")) label = "0006";
    else if (diff == "+000") label = FieldOf(*p, ex::NyusenJyuni) == "02" ? "+" + FieldOf(*p, ex::ChakusaCD) : "0007";
    // "00" and k + 7 unpadded: +001 and +002 give the three characters "008" and "009".
    else if (TextBetween(diff, "+001", "+028") && common::IsDigits(diff.substr(1)))
        label = "00" + IntegerText(StrictInteger(diff.substr(1), "TimeDiff") + 7);
    else if (diff == "+029") label = "0036";
    else if (TextBetween(diff, "+030", "+050"))
        label = "00" + IntegerText(StrictInteger(diff.substr(2), "TimeDiff") + 7);
    else label = "0099";
    return FitLabel(26, label);
}

std::string CalcKaijiNichiji(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    std::string label = FieldOf(cur, ex::Kaiji) + FieldOf(cur, ex::Nichiji);
    if (!(t >= 0 && t <= 24) && (label == "0310" || label == "0311")) label = "0101";
    return FitLabel(27, label);
}

std::string CalcTosuBand(const ItemRun& run) {
    const std::string tosu = FieldOf(run.current, ex::TorokuTosu);
    if (TextBetween(tosu, "00", "08")) return FitLabel(28, "08");
    if (TextBetween(FieldOf(run.current, ex::TrackCD), "00", "29")) return FitLabel(28, tosu);
    // Hurdle fields are held at 14.
    return FitLabel(28, TextBetween(tosu, "09", "14") ? tosu : "14");
}

std::string CalcTenkoBabaJikoku(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    const std::int64_t h = StrictInteger(FieldOf(cur, ex::HassoTime), "HassoTime");
    std::string time;
    if (h >= 0 && h <= 1130) time = "01";
    else if (h >= 1131 && h <= 1330) time = "02";
    else if (h >= 1331 && h <= 1530) time = "03";
    else time = "04";
    std::string weather = FieldOf(cur, ex::TenkoCD);
    if (weather > "4" || weather < "1") weather = "4";
    const std::string going = FieldOf(cur, t >= 23 && t <= 49 ? ex::DirtBabaCD : ex::SibaBabaCD);
    return FitLabel(29, weather + going + time);
}

std::string CalcKyosobaArning(const ItemRun& run) {
    const ExRecord& cur = run.current;
    const int t = TrackNumber(cur);
    std::string label = "10";
    const std::string ketto = FieldOf(cur, ex::KettoNum);
    if (!IsNoHorse(ketto)) {
        if (const HorseStats* horse = run.stats.horses.Find(ketto)) {
            const bool flat = t >= 0 && t <= 49;
            const double count = flat ? horse->StartsFlat() : horse->StartsOther();
            const double sum = flat ? horse->PrizeFlat() : horse->PrizeOther();
            label = "00";
            if (count != 0) {
                const double q = sum / count;
                if (q != 0) label = LastChars(IntegerText(LogBand(q, "horse prize per start") + 100), 2);
            }
        }
    }
    // No prize money: the run number stands in, so a label "7" is not the band "07".
    if (label == "00") label = run.R() <= 19 ? IntegerText(run.R()) : "19";
    const std::int64_t v = StrictInteger(label, "horse prize band");
    if (v < 6) label = "5";
    else if (v > 50) label = "50";
    return FitLabel(30, label);
}

}  // namespace engine

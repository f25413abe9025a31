#include "item_labels.h"

#include <cmath>
#include <cstdlib>

#include "calendar.h"
#include "common/numbers.h"
#include "records/fields.h"
#include "records/record.h"

namespace demoweek {

namespace {

using records::Locate;
using LRA = records::LayoutRA;
using LSE = records::LayoutSE;

std::string Text(long long v) { return std::to_string(v); }
std::string Last(const std::string& s, std::size_t n) { return s.size() <= n ? s : s.substr(s.size() - n); }
double Num(const std::string& s) { return common::Val(s); }
long long Int(double v) { return static_cast<long long>(std::floor(v)); }
bool Between(const std::string& s, const char* a, const char* b) { return s >= a && s <= b; }

// Logarithmic band, in the order the prediction computes it.
long long Band(double x) { return Int(std::log(x) * 10.0 / std::log(10.0)); }

int DayNumber(const std::string& ymd) {
    Day d;
    ParseDay(ymd, d);
    return d.n;
}

int Days(const RunView& from, const RunView& to) {
    const int days = DayNumber(to.year + to.monthDay) - DayNumber(from.year + from.monthDay);
    return std::atoi(Last(Text(days + 10000), 4).c_str());
}

long long Weeks(const RunView& a, const RunView& b) { return Int(Days(a, b) / 7.0 + 0.5); }

std::string SurfaceClass(const std::string& track) {
    if (Between(track, "00", "22")) return "1";
    if (track == "23" || track == "24") return "2";
    return "3";
}

bool ValidKetto(const std::string& k) { return !(k == "0000000000" || k == "0" || k.empty() || k == "          "); }

std::string Item2(const RunView& v, int t) {
    std::string c = "B";
    if (Between(v.jyo, "01", "09") && v.jyo.size() == 2 && v.jyo[0] == '0') c = v.jyo.substr(1);
    else if (v.jyo == "10") c = "A";
    std::string label;
    if (t == 10) label = c + v.umaban + v.track;
    else if (t == 11 || t == 12 || t == 17 || t == 18) label = c + v.waku + v.track;
    else if (t == 21) label = c + v.waku + "17";
    else if (t == 22) label = c + v.waku + "18";
    else if (t >= 23 && t <= 29) label = c + v.waku;
    else label = v.track;
    if (std::atol((v.year + v.monthDay).c_str()) > 20230421 && v.jyo == "07") label += "K";
    return label;
}

std::string Item3(const std::vector<RunView>& runs, int r, const RunView* p) {
    const RunView& v = runs[static_cast<std::size_t>(r - 1)];
    std::string prevDist = "5000", prevClass = "0", prevGrade = "0";
    if (r >= 2) {
        prevDist = p->kyori;
        prevClass = (p->kubun == "A" || p->kubun == "B") ? p->kubun : SurfaceClass(p->track);
        prevGrade = p->grade;
    }
    const std::string longer = Num(v.kyori) > Num(prevDist) ? "2" : "1";
    if (SurfaceClass(v.track) == "3") return prevClass + longer;
    if (prevClass == "0") return v.jyoken5 + "0" + longer;
    return prevGrade + prevClass + (v.kyori == prevDist ? "D" : longer);
}

std::string Item5(const std::vector<RunView>& runs, int r) {
    if (r == 1) return "00";
    std::int32_t sum = 0;
    for (int i = 0; i < r - 1; ++i) sum += static_cast<std::int32_t>(Num(runs[static_cast<std::size_t>(i)].honsyokin));
    if (sum == 0) return "00";
    const long long n = Band(sum);
    if (n == 0) return "00";
    if (n >= 1 && n <= 66) return Text(n);
    return "66";
}

std::string Item7(const RunView& v, int t, const Statistics& st) {
    std::string raw = "10";
    if (v.jockey != "00000" && v.jockey != "     ") {
        if (const std::string* rec = st.jockey.Find(v.jockey)) {
            const int pos = t <= 22 ? 30 : t <= 29 ? 36 : 42;
            raw = "1" + Text(Int(Num(std::string(StatsField(*rec, pos, 6))) / 4000));
        }
    }
    const long long n = std::atoll(raw.c_str());
    if (n < 0 || n > 19) raw = "19";
    if (raw == "10") raw = "11";
    return raw;
}

std::string Item10(const RunView& v) {
    long long b = 100;
    if (Num(v.futan) > 0 && Num(v.bataijyu) > 0) {
        const double carried = Num(v.futan) * 0.1;
        b = Int(carried * 1000 / (Num(v.bataijyu) + carried) + 0.5);
        b = std::clamp(b, 96LL, 114LL);
    }
    b = Int(b / 2.0) * 2;
    if (v.sex != "1" && v.sex != "3") b += 200;
    if (b == 300) b = 100;
    return Last(Text(b + 1000), 3);
}

std::string Item12(const RunView& v, int t) {
    const int days = DayNumber(v.year + v.monthDay) - DayNumber(v.birth);
    long long m = Int(days / 30.0 + 0.5);
    m = t >= 0 && t <= 29 ? std::clamp(m, 27LL, 90LL) : std::clamp(m, 40LL, 90LL);
    if (m > 42) m = Int(m / 3.0) + 43 - 14;
    const std::string sexDigit = v.sex == "1" ? "1" : v.sex == "2" ? "2" : "3";
    std::string label = sexDigit + Last(Text(m + 100), 2);
    if (label >= "327" && label <= "333") label = "334";
    if (label == "240") label = "241";
    if (label == "340") label = "341";
    return label;
}

std::string Item14(const std::vector<RunView>& runs, int r, const RunView* p) {
    const RunView& v = runs[static_cast<std::size_t>(r - 1)];
    auto run = [&](int i) -> const RunView& { return runs[static_cast<std::size_t>(i - 1)]; };
    long long e = 0, d = 0, c = 0;
    if (r == 2) e = Weeks(run(1), v);
    else if (r == 3) {
        e = Weeks(run(2), v);
        d = Weeks(run(1), run(2));
    } else if (r >= 4) {
        e = Weeks(*p, v);
        d = Weeks(run(r - 2), *p);
        c = Weeks(run(r - 3), run(r - 2));
    }
    if (e >= 79) e = 78;
    else if (e >= 52) e = 52;
    else if (e >= 27) e = 27;
    long long f = 0, g = 0;
    auto level = [](long long x) { return x >= 52 ? 2 : x >= 27 ? 1 : 0; };
    if (e >= 1 && e <= 3) {
        if (d != 0) f = level(d);
        if (c != 0) g = level(c);
    }
    if (f > 0) e = 28 + (e - 1) * 2 + (f - 1);
    if (e >= 1 && e <= 3 && g > 0) e = 34 + (e - 1) * 2 + (g - 1);
    const std::string flag = (r >= 4 && p->jyo == v.jyo) ? "1" : "2";
    std::string label = flag + (e == 0 ? std::string("1020") : Last(Text(e * 10 + 1000), 4));
    if (label == "21340") label = "21040";
    return label;
}

std::string Going(const RunView& v, int t) { return t >= 23 && t <= 49 ? v.dirt : v.siba; }

std::string Item16And17(const RunView& v, int t, const StatsFile& file, const std::string& key, bool dam) {
    const std::string* rec = file.Find(key);
    if (!rec) return "10";
    const int first = t <= 22 ? 125 : t <= 49 ? 149 : 173;
    const std::string going = Going(v, t);
    int field = -1;
    if (going == "0" || going == "1") field = 0;
    else if (dam && going == "2") field = 1;
    else if (dam && going == "3") field = 2;
    else if (dam && going == "4") field = 3;
    if (field < 0) return "10";
    return "1" + Text(Int(Num(std::string(StatsField(*rec, first + 6 * field, 6))) / 4000));
}

std::string Item18(const RunView& v, int t) {
    std::string age = "25";
    if (v.jockeyBirthYear != "    ")
        age = Last(Text(std::atoll(v.year.c_str()) + 100 - std::atoll(v.jockeyBirthYear.c_str())), 2);
    std::string band = "43";
    if (Between(age, "00", "20")) band = "20";
    else if (Between(age, "21", "25")) band = "23";
    else if (Between(age, "26", "30")) band = "28";
    else if (Between(age, "31", "35")) band = "33";
    else if (Between(age, "36", "40")) band = "38";
    return "0" + band + (t >= 0 && t <= 29 ? v.minarai : std::string("0"));
}

std::string Item19(const RunView& v, int t, const Statistics& st) {
    std::string label = "10";
    if (v.trainer != "00000" && v.trainer != "     ") {
        if (const std::string* rec = st.trainer.Find(v.trainer)) {
            const int pos = t <= 22 ? 30 : t <= 49 ? 36 : 42;
            label = "1" + Text(Int(Num(std::string(StatsField(*rec, pos, 6))) / 4000));
        }
    }
    if (std::atoll(label.c_str()) > 110) label = "110";
    return label;
}

std::string Item20(const RunView& v, int t, const Statistics& st) {
    std::string label = "0";
    if (const std::string* rec = st.stallion.Find(v.sire)) {
        const double count = Num(std::string(StatsField(*rec, t <= 29 ? 35 : 41, 6)));
        const double sum = Num(std::string(StatsField(*rec, t <= 29 ? 47 : 56, 9)));
        if (count != 0) {
            const double q = sum / count;
            if (q != 0) label = Text(Band(q));
        }
    }
    const long long b = std::atoll(label.c_str());
    if (b >= 1 && b <= 24) label = "25";
    if (b > 46) label = "46";
    return label;
}

std::string Item23(const RunView& v, int t, const Statistics& st) {
    std::string label = "10";
    if (const std::string* rec = st.stallion.Find(v.sire)) {
        const double k = Num(v.kyori);
        int pos = 119;
        std::string digit = "1";
        if (t <= 49) {
            const int base = t <= 22 ? 197 : 215;
            if (k <= 1600) pos = base;
            else if (k <= 2200) { pos = base + 6; digit = "2"; }
            else { pos = base + 12; digit = "3"; }
        }
        label = digit + Text(Int(Num(std::string(StatsField(*rec, pos, 6))) / 4000));
    }
    const long long n = std::atoll(label.c_str());
    if (n == 0 || n == 10 || n == 20 || n == 30) label = "10";
    else if (n >= 110 && n <= 130) label = "19";
    else if (n >= 210 && n <= 230) label = "29";
    else if (n >= 310 && n <= 330) label = "39";
    return label;
}

std::string Item26(const RunView* p, int r) {
    if (r == 1) return "0099";
    const std::string& d = p->timeDiff;
    if (d == "0000" || d == "    " || d == "+999" || d == "-999" || d == "9999") return "0099";
    if (d == "-000") return "0001";
    if (d == "-001") return "0002";
    if (d == "-002") return "0003";
    if (d == "-003" || d == "-004") return "0004";
    if (Between(d, "-005", "-009")) return "0005";
    if (Between(d, "-010", "-998")) return "0006";
    if (d == "+000") return p->nyusen != "02" ? "0007" : "+" + p->chakusa;
    if (Between(d, "+001", "+028")) return "00" + Text(std::atoll(d.substr(1).c_str()) + 7);
    if (d == "+029") return "0036";
    if (Between(d, "+030", "+050")) return "00" + Text(std::atoll(d.substr(2).c_str()) + 7);
    return "0099";
}

std::string Item30(const RunView& v, int t, int r, const Statistics& st) {
    std::string label = "10";
    if (ValidKetto(v.ketto)) {
        if (const std::string* rec = st.horse.Find(v.ketto)) {
            const double count = Num(std::string(StatsField(*rec, t <= 49 ? 23 : 29, 6)));
            const double sum = Num(std::string(StatsField(*rec, t <= 49 ? 35 : 44, 9)));
            label = "00";
            if (count != 0 && sum / count != 0) label = Last(Text(Band(sum / count) + 100), 2);
        }
    }
    if (label == "00") label = r <= 19 ? Text(r) : "19";
    const long long b = std::atoll(label.c_str());
    if (b < 6) label = "5";
    if (b > 50) label = "50";
    return label;
}

std::string Fit(std::string label, int width) {
    label.resize(static_cast<std::size_t>(width), ' ');
    return label;
}

}  // namespace

RunView ViewOf(const std::string& seBytes, const std::string& raBytes, const std::string& birth, const std::string& sire,
               const std::string& dam, const std::string& jockeyBirthYear) {
    const records::RecordView<LSE> se(seBytes);
    const records::RecordView<LRA> ra(raBytes);
    auto s = [&](records::Ref<LSE> ref) { return std::string(se.Get(ref)); };
    auto a = [&](records::Ref<LRA> ref, int i = 0) { return std::string(ra.Get(ref, i)); };
    RunView v;
    v.kubun = s(records::kDataKubun<LSE>);
    v.year = s(records::kYear<LSE>);
    v.monthDay = s(records::kMonthDay<LSE>);
    v.jyo = s(records::kJyoCD<LSE>);
    v.kaiji = s(records::kKaiji<LSE>);
    v.nichiji = s(records::kNichiji<LSE>);
    v.waku = s(records::se::Wakuban);
    v.umaban = s(records::se::Umaban);
    v.ketto = s(records::se::KettoNum);
    v.sex = s(records::se::SexCD);
    v.umakigo = s(Locate<LSE>("UmaKigoCD"));
    v.trainer = s(records::se::ChokyosiCode);
    v.futan = s(records::se::Futan);
    v.jockey = s(records::se::KisyuCode);
    v.minarai = s(records::se::MinaraiCD);
    v.bataijyu = s(records::se::BaTaijyu);
    v.ijyo = s(records::se::IJyoCD);
    v.nyusen = s(records::se::NyusenJyuni);
    v.chakusa = s(Locate<LSE>("ChakusaCD"));
    v.odds = s(records::se::Odds);
    v.honsyokin = s(Locate<LSE>("Honsyokin"));
    v.timeDiff = s(records::se::TimeDiff);
    v.time = s(records::se::Time);
    v.l3f = s(records::se::HaronTimeL3);
    v.grade = a(records::ra::GradeCD);
    v.kigo = a(Locate<LRA>("JyokenInfo.KigoCD"));
    v.jyoken5 = a(records::ra::JyokenCD, 4);
    v.kyori = a(records::ra::Kyori);
    v.track = a(records::ra::TrackCD);
    v.courseKubun = a(Locate<LRA>("CourseKubunCD"));
    v.toroku = a(records::ra::TorokuTosu);
    v.hasso = a(records::ra::HassoTime);
    v.tenko = a(records::ra::TenkoCD);
    v.siba = a(records::ra::SibaBabaCD);
    v.dirt = a(records::ra::DirtBabaCD);
    v.birth = birth;
    v.sire = sire;
    v.dam = dam;
    v.jockeyBirthYear = jockeyBirthYear;
    return v;
}

std::array<std::string, kItemCount> LabelsOf(const std::vector<RunView>& runs, int r, const Statistics& st) {
    const RunView& v = runs[static_cast<std::size_t>(r - 1)];
    const int t = std::atoi(v.track.c_str());
    const RunView* p = nullptr;
    if (r >= 2) {
        const RunView& before = runs[static_cast<std::size_t>(r - 2)];
        p = (before.ijyo == "0" || r == 2) ? &before : &runs[static_cast<std::size_t>(r - 3)];
    }
    std::array<std::string, kItemCount> l;
    l[0] = v.year + v.monthDay.substr(0, 2);
    l[1] = Item2(v, t);
    l[2] = Item3(runs, r, p);
    l[3] = v.futan.substr(0, 2) == "55" ? "56" : v.futan.substr(0, 2);
    l[4] = Item5(runs, r);
    l[5] = v.kigo.substr(0, 2);
    if ((t == 23 || t == 24) && l[5] == "N2") l[5] = "N0";
    l[6] = Item7(v, t, st);
    l[7] = "10";
    if (ValidKetto(v.ketto))
        if (const std::string* rec = st.horse.Find(v.ketto)) l[7] = Text(Int(Num(std::string(StatsField(*rec, 11, 6))) / 10000));
    l[8] = r == 1 ? "001" : r <= 50 ? Last(Text(r + 999), 3) : "050";
    l[9] = Item10(v);
    {
        long long b = Num(v.bataijyu) == 0 ? 44 : Int(Num(v.bataijyu) / 8);
        if (b <= 51) b = 50;
        if (b >= 71) b = 70;
        l[10] = Text(b);
    }
    l[11] = Item12(v, t);
    l[12] = "00";
    if (const std::string* rec = st.stallion.Find(v.sire)) {
        const double value = Num(std::string(StatsField(*rec, t <= 29 ? 65 : 74, 9)));
        if (value != 0) l[12] = Text(Band(value));
    }
    l[13] = Item14(runs, r, p);
    l[14] = "10";
    if (r >= 2 && p->odds != "0000" && p->odds != "    ") l[14] = Text(Band(Num(p->odds)));
    l[15] = Item16And17(v, t, st.stallion, v.sire, false);
    l[16] = Item16And17(v, t, st.mare, v.dam, true);
    l[17] = Item18(v, t);
    l[18] = Item19(v, t, st);
    l[19] = Item20(v, t, st);
    l[20] = v.grade + v.jyoken5;
    if (t >= 0 && t <= 29) {
        l[21] = v.kyori + v.courseKubun;
    } else {
        const double k = Num(v.kyori);
        l[21] = k <= 2800 ? "2800" : k <= 2999 ? "2900" : k <= 3500 ? "3500" : "4000";
    }
    l[22] = Item23(v, t, st);
    if ((t >= 0 && t <= 22) || t == 23 || t == 24) l[23] = v.umaban + "1";
    else l[23] = Num(v.umaban) <= 14 ? v.umaban : "14";
    l[24] = v.umakigo != "00" ? v.umakigo : v.birth.substr(4, 2) + "1";
    l[25] = Item26(p, r);
    l[26] = v.kaiji + v.nichiji;
    if (!(t >= 0 && t <= 24) && (l[26] == "0310" || l[26] == "0311")) l[26] = "0101";
    if (Between(v.track, "00", "29")) l[27] = Between(v.toroku, "00", "08") ? "08" : v.toroku;
    else l[27] = Between(v.toroku, "00", "08") ? "08" : Between(v.toroku, "09", "14") ? v.toroku : "14";
    {
        const double h = Num(v.hasso);
        const std::string band = h <= 1130 ? "01" : h <= 1330 ? "02" : h <= 1530 ? "03" : "04";
        const std::string weather = (v.tenko > "4" || v.tenko < "1") ? "4" : v.tenko;
        l[28] = weather + Going(v, t) + band;
    }
    l[29] = Item30(v, t, r, st);
    for (int k = 0; k < kItemCount; ++k) l[static_cast<std::size_t>(k)] = Fit(l[static_cast<std::size_t>(k)], kItemWidth[static_cast<std::size_t>(k)]);
    return l;
}

}  // namespace demoweek

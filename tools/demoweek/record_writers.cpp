#include "record_writers.h"

#include <algorithm>
#include <cstdlib>

#include "common/encoding.h"
#include "horses.h"
#include "records/fields.h"
#include "records/record.h"

namespace demoweek {

using records::Locate;
using records::StoredRecord;

namespace {

using LRA = records::LayoutRA;
using LSE = records::LayoutSE;
using LHR = records::LayoutHR;
using LUM = records::LayoutUM;

std::string Sj(const std::string& utf8) { return common::ToCp932(utf8); }

// A text field of full-width blanks, as unnamed races carry in their name fields.
std::string WideBlanks(int bytes) {
    std::string out;
    for (int i = 0; i < bytes / 2; ++i) out += "\x81\x40";
    return out;
}

// Head, race identifier and CR LF of every record that names a race.
template <class L>
void Head(StoredRecord<L>& r, std::string_view spec, char kubun, Day made) {
    r.Set(records::kRecordSpec<L>, spec);
    r.Set(records::kDataKubun<L>, std::string(1, kubun));
    r.Set(records::kMakeDate<L>, made.Ymd());
    r.Set(Locate<L>("CrLf"), "\r\n");
}

template <class L>
void RaceHead(StoredRecord<L>& r, std::string_view spec, char kubun, Day made, const Race& race) {
    Head(r, spec, kubun, made);
    r.Set(records::kRaceId<L>, race.RaceId());
}

std::string JyokenName(const Race& race) {
    std::string age;
    const std::string& s = race.syubetu;
    if (s == "11") age = "２歳";
    else if (s == "12") age = "３歳";
    else if (s == "14") age = "４歳以上";
    else if (s == "19") age = "障害４歳以上";
    else if (s == "18") age = "障害３歳以上";
    else age = "３歳以上";
    static const char* kClass[] = {"未勝利", "１勝クラス", "２勝クラス", "３勝クラス", "オープン"};
    return age + (race.newcomers ? std::string("新馬") : std::string(kClass[std::clamp(race.klass, 0, 4)]));
}

// Passing order at a corner: horse numbers by position, "-" before a gap.
std::string PassingOrder(const Race& race, int corner) {
    std::vector<const Slot*> at;
    for (const Slot& s : race.slots)
        if (s.corner[static_cast<std::size_t>(corner)] > 0 && s.ijyo != '1') at.push_back(&s);
    std::sort(at.begin(), at.end(), [&](const Slot* a, const Slot* b) {
        return a->corner[static_cast<std::size_t>(corner)] < b->corner[static_cast<std::size_t>(corner)];
    });
    std::string out;
    for (std::size_t i = 0; i < at.size(); ++i) {
        if (i > 0) out += (at[i]->umaban + corner) % 4 == 0 ? "-" : ",";
        out += std::to_string(at[i]->umaban);
    }
    return out;
}

// Corners a race passes: two in a sprint, four otherwise (index into the horses' corner table).
std::vector<int> CornersOf(const Race& race) {
    if (race.surface() != Surface::Hurdle && race.layout.distance <= 1400) return {2, 3};
    return {0, 1, 2, 3};
}

std::string TimeText(int tenths) {
    if (tenths <= 0) return "0000";
    return std::to_string(tenths / 600) + Digits(tenths % 600, 3);
}

const Slot* SlotAt(const Race& race, int finish, const Slot* besides) {
    for (const Slot& s : race.slots)
        if (s.finish == finish && &s != besides) return &s;
    return nullptr;
}

}  // namespace

std::string Digits(long long value, int width) {
    if (value < 0) value = 0;
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) > width) s = s.substr(s.size() - static_cast<std::size_t>(width));
    return std::string(static_cast<std::size_t>(width) - s.size(), '0') + s;
}

std::string RaRecord(const World& world, const Race& race, const Stage& stage) {
    (void)world;
    StoredRecord<LRA> r;
    RaceHead(r, "RA", stage.kubun, stage.made, race);
    r.Set(Locate<LRA>("YoubiCD"), std::string(1, YoubiCode(race.day)));
    r.Set(Locate<LRA>("TokuNum"), race.tokuNum);
    const bool named = !race.hondai.empty();
    r.Set(Locate<LRA>("Hondai"), named ? Sj(race.hondai) : WideBlanks(60));
    r.Set(Locate<LRA>("Fukudai"), WideBlanks(60));
    r.Set(Locate<LRA>("Kakko"), WideBlanks(60));
    r.Set(Locate<LRA>("HondaiEng"), race.hondaiEng);
    r.Set(Locate<LRA>("Ryakusyo10"), named ? Sj(common::LeftChars(race.hondai, 10)) : WideBlanks(20));
    r.Set(Locate<LRA>("Ryakusyo6"), named ? Sj(common::LeftChars(race.hondai, 6)) : WideBlanks(12));
    r.Set(Locate<LRA>("Ryakusyo3"), named ? Sj(common::LeftChars(race.hondai, 3)) : WideBlanks(6));
    r.Set(Locate<LRA>("Kubun"), named ? "1" : "0");
    r.Set(Locate<LRA>("Nkai"), named && race.klass == 4 ? Digits(10 + race.raceNum * 3 + race.kaiji, 3) : "000");
    r.Set(Locate<LRA>("GradeCD"), std::string(1, race.grade));
    r.Set(Locate<LRA>("GradeCDBefore"), " ");
    r.Set(Locate<LRA>("JyokenInfo.SyubetuCD"), race.syubetu);
    r.Set(Locate<LRA>("JyokenInfo.KigoCD"), race.kigo);
    r.Set(Locate<LRA>("JyokenInfo.JyuryoCD"), race.jyuryo);
    for (int i = 0; i < 5; ++i) r.Set(records::ra::JyokenCD, race.jyoken[static_cast<std::size_t>(i)], i);
    r.Set(Locate<LRA>("JyokenName"), Sj(JyokenName(race)));
    r.Set(records::ra::Kyori, Digits(race.layout.distance, 4));
    r.Set(Locate<LRA>("KyoriBefore"), "0000");
    r.Set(records::ra::TrackCD, race.layout.track);
    r.Set(Locate<LRA>("TrackCDBefore"), "00");
    r.Set(Locate<LRA>("CourseKubunCD"), race.layout.courseKubun);
    r.Set(Locate<LRA>("CourseKubunCDBefore"), "  ");
    for (int i = 0; i < 7; ++i) r.Set(Locate<LRA>("Honsyokin"), Digits(i < 5 ? race.prize[static_cast<std::size_t>(i)] : 0, 8), i);
    for (int i = 0; i < 5; ++i) r.Set(Locate<LRA>("HonsyokinBefore"), "00000000", i);
    for (int i = 0; i < 5; ++i) r.Set(Locate<LRA>("Fukasyokin"), "00000000", i);
    for (int i = 0; i < 3; ++i) r.Set(Locate<LRA>("FukasyokinBefore"), "00000000", i);
    r.Set(records::ra::HassoTime, Digits(race.hassoTime, 4));
    r.Set(Locate<LRA>("HassoTimeBefore"), "0000");
    const int registered = static_cast<int>(race.slots.size());
    int starters = 0, finishers = 0;
    for (const Slot& s : race.slots) {
        if (s.ijyo != '1' && s.ijyo != '2' && s.ijyo != '3') ++starters;
        if (s.finish > 0) ++finishers;
    }
    const bool results = stage.results && !race.cancelled;
    r.Set(records::ra::TorokuTosu, Digits(registered, 2));
    r.Set(records::ra::SyussoTosu, Digits(race.cancelled ? 0 : results ? starters : registered, 2));
    r.Set(Locate<LRA>("NyusenTosu"), Digits(results ? finishers : 0, 2));
    r.Set(records::ra::TenkoCD, std::string(1, stage.results ? race.weather : race.weatherBefore));
    r.Set(records::ra::SibaBabaCD, std::string(1, stage.results ? race.turfGoing : race.turfGoingBefore));
    r.Set(records::ra::DirtBabaCD, std::string(1, stage.results ? race.dirtGoing : race.dirtGoingBefore));
    for (int i = 0; i < 25; ++i) r.Set(records::ra::LapTime, Digits(results ? race.laps[static_cast<std::size_t>(i)] : 0, 3), i);
    const bool hurdles = race.surface() == Surface::Hurdle;
    r.Set(Locate<LRA>("SyogaiMileTime"), results && hurdles ? TimeText(race.winnerTime * 1609 / race.layout.distance) : "0000");
    r.Set(Locate<LRA>("HaronTimeS3"), Digits(results ? race.s3f : 0, 3));
    r.Set(Locate<LRA>("HaronTimeS4"), Digits(results ? race.s4f : 0, 3));
    r.Set(records::ra::HaronTimeL3, Digits(results ? race.l3f : 0, 3));
    r.Set(records::ra::HaronTimeL4, Digits(results ? race.l4f : 0, 3));
    if (results) {
        const std::vector<int> corners = CornersOf(race);
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const int c = static_cast<int>(i);
            r.Set(Locate<LRA>("CornerInfo.Corner"), std::to_string(corners[i] + 1), c);
            r.Set(Locate<LRA>("CornerInfo.Syukaisu"), "1", c);
            r.Set(Locate<LRA>("CornerInfo.Jyuni"), PassingOrder(race, corners[i]), c);
        }
    }
    r.Set(Locate<LRA>("RecordUpKubun"), "0");
    return std::string(r.Bytes());
}

std::string SeRecord(const World& world, const Race& race, const Slot& s, const Stage& stage) {
    StoredRecord<LSE> r;
    RaceHead(r, "SE", stage.kubun, stage.made, race);
    const Horse& h = world.horses[static_cast<std::size_t>(s.horse)];
    const Person& trainer = world.trainers[static_cast<std::size_t>(h.trainer)];
    const Owner& owner = world.owners[static_cast<std::size_t>(h.owner)];
    r.Set(records::se::Wakuban, std::to_string(s.waku));
    r.Set(records::se::Umaban, Digits(s.umaban, 2));
    r.Set(records::se::KettoNum, h.ketto);
    r.Set(records::se::Bamei, Sj(h.name));
    r.Set(Locate<LSE>("UmaKigoCD"), h.umakigo);
    r.Set(records::se::SexCD, std::string(1, h.sex));
    r.Set(Locate<LSE>("HinsyuCD"), "1");
    r.Set(Locate<LSE>("KeiroCD"), h.keiro);
    r.Set(records::se::Barei, Digits(AgeOn(h, race.day), 2));
    r.Set(Locate<LSE>("TozaiCD"), std::string(1, trainer.tozai));
    r.Set(records::se::ChokyosiCode, trainer.code);
    r.Set(Locate<LSE>("ChokyosiRyakusyo"), Sj(trainer.shortName));
    r.Set(Locate<LSE>("BanusiCode"), owner.code);
    r.Set(Locate<LSE>("BanusiName"), Sj(owner.name));
    r.Set(Locate<LSE>("Fukusyoku"), Sj(owner.colours));
    r.Set(records::se::Futan, Digits(s.futan10, 3));
    r.Set(Locate<LSE>("FutanBefore"), "000");
    r.Set(Locate<LSE>("Blinker"), h.style == '4' ? "1" : "0");
    r.Set(Locate<LSE>("Reserved2"), "0");
    if (s.jockey >= 0) {
        const Person& j = world.jockeys[static_cast<std::size_t>(s.jockey)];
        r.Set(records::se::KisyuCode, j.code);
        r.Set(records::se::KisyuRyakusyo, Sj(j.shortName));
    } else {
        r.Set(records::se::KisyuCode, "00000");
    }
    r.Set(Locate<LSE>("KisyuCodeBefore"), "00000");
    r.Set(records::se::MinaraiCD, std::string(1, s.minarai));
    r.Set(Locate<LSE>("MinaraiCDBefore"), "0");

    const bool ran = stage.results && !race.cancelled;
    const bool weighed = ran && s.ijyo != '1' && s.bodyWeight > 0;
    r.Set(records::se::BaTaijyu, weighed ? Digits(s.bodyWeight, 3) : "   ");
    if (weighed && !s.debut) {
        r.Set(records::se::ZogenFugo, s.weightChange > 0 ? "+" : s.weightChange < 0 ? "-" : " ");
        r.Set(records::se::ZogenSa, Digits(std::abs(s.weightChange), 3));
    } else {
        r.Set(records::se::ZogenFugo, " ");
        r.Set(records::se::ZogenSa, "   ");
    }
    r.Set(records::se::IJyoCD, std::string(1, ran ? s.ijyo : '0'));
    r.Set(records::se::NyusenJyuni, Digits(ran ? s.finish : 0, 2));
    r.Set(records::se::KakuteiJyuni, Digits(ran ? s.finish : 0, 2));
    r.Set(Locate<LSE>("DochakuKubun"), ran && s.deadHeat ? "1" : "0");
    r.Set(Locate<LSE>("DochakuTosu"), ran && s.deadHeat ? "2" : "0");
    r.Set(records::se::Time, ran ? TimeText(s.timeT) : "0000");
    r.Set(Locate<LSE>("ChakusaCD"), ran ? s.chakusa : "   ");
    r.Set(Locate<LSE>("ChakusaCDP"), "   ");
    r.Set(Locate<LSE>("ChakusaCDPP"), "   ");
    const std::vector<int> corners = CornersOf(race);
    static constexpr records::Ref<LSE> kCorner[4] = {Locate<LSE>("Jyuni1c"), Locate<LSE>("Jyuni2c"),
                                                      Locate<LSE>("Jyuni3c"), Locate<LSE>("Jyuni4c")};
    for (int c = 0; c < 4; ++c) {
        const bool passed = ran && s.ijyo != '1' && std::find(corners.begin(), corners.end(), c) != corners.end();
        r.Set(kCorner[c], Digits(passed ? s.corner[static_cast<std::size_t>(c)] : 0, 2));
    }
    const bool voted = ran && s.ijyo != '1';
    r.Set(records::se::Odds, Digits(voted ? s.odds10 : 0, 4));
    r.Set(records::se::Ninki, Digits(voted ? s.ninki : 0, 2));
    r.Set(Locate<LSE>("Honsyokin"), Digits(ran ? s.prize : 0, 8));
    r.Set(Locate<LSE>("Fukasyokin"), "00000000");
    r.Set(Locate<LSE>("Reserved3a"), "000");
    r.Set(Locate<LSE>("Reserved3b"), "000");
    r.Set(records::se::HaronTimeL4, Digits(ran ? s.l4f : 0, 3));
    r.Set(records::se::HaronTimeL3, Digits(ran ? s.l3f : 0, 3));
    if (ran && s.finish > 0) {
        // The winners for a beaten horse; the runners-up (or the other winner) for a winner.
        std::vector<const Slot*> others;
        for (const Slot& o : race.slots)
            if (&o != &s && o.finish == (s.finish == 1 ? (SlotAt(race, 1, &s) ? 1 : 2) : 1)) others.push_back(&o);
        for (std::size_t i = 0; i < others.size() && i < 3; ++i) {
            const Slot& o = *others[i];
            const bool ours = o.horse >= 0;
            r.Set(Locate<LSE>("ChakuUmaInfo.KettoNum"), ours ? world.horses[static_cast<std::size_t>(o.horse)].ketto : o.otherKetto, static_cast<int>(i));
            r.Set(Locate<LSE>("ChakuUmaInfo.Bamei"), Sj(ours ? world.horses[static_cast<std::size_t>(o.horse)].name : o.otherName), static_cast<int>(i));
        }
    }
    std::string diff = "0000";
    if (ran) {
        if (s.finish == 0) diff = "9999";
        else if (s.timeDiff <= 0) diff = "-" + Digits(-s.timeDiff, 3);
        else diff = "+" + Digits(std::min(s.timeDiff, 999), 3);
    }
    r.Set(records::se::TimeDiff, diff);
    r.Set(Locate<LSE>("RecordUpKubun"), "0");
    r.Set(Locate<LSE>("DMKubun"), "0");
    r.Set(Locate<LSE>("DMTime"), "00000");
    r.Set(Locate<LSE>("DMGosaP"), "0000");
    r.Set(Locate<LSE>("DMGosaM"), "0000");
    r.Set(Locate<LSE>("DMJyuni"), "00");
    r.Set(records::se::KyakusituKubun, ran && s.finish > 0 ? std::string(1, s.style) : "0");
    return std::string(r.Bytes());
}

std::string HrRecord(const Race& race, const RacePayouts& p, const Stage& stage) {
    StoredRecord<LHR> r;
    RaceHead(r, "HR", stage.kubun, stage.made, race);
    const int n = static_cast<int>(race.slots.size());
    r.Set(records::hr::TorokuTosu, Digits(n, 2));
    r.Set(records::hr::SyussoTosu, Digits(n, 2));
    for (int i = 0; i < 9; ++i) {
        const bool notSold = i == 2 && n < 9;  // no bracket quinella below nine runners
        r.Set(Locate<LHR>("FuseirituFlag"), notSold ? "1" : "0", i);
        r.Set(Locate<LHR>("TokubaraiFlag"), "0", i);
        r.Set(Locate<LHR>("HenkanFlag"), "0", i);
    }
    for (int i = 0; i < 28; ++i) r.Set(Locate<LHR>("HenkanUma"), "0", i);
    for (int i = 0; i < 8; ++i) {
        r.Set(Locate<LHR>("HenkanWaku"), "0", i);
        r.Set(Locate<LHR>("HenkanDoWaku"), "0", i);
    }
    auto key = [](const std::vector<int>& numbers, int digits) {
        std::string k;
        for (int v : numbers) k += Digits(v, digits);
        return k;
    };
    auto put = [&](auto kumiRef, auto payRef, auto ninkiRef, const std::vector<Payout>& list, int digits, int ninkiWidth,
                   int capacity) {
        for (int i = 0; i < static_cast<int>(list.size()) && i < capacity; ++i) {
            const Payout& e = list[static_cast<std::size_t>(i)];
            r.Set(kumiRef, key(e.numbers, digits), i);
            r.Set(payRef, Digits(e.pay, 9), i);
            r.Set(ninkiRef, Digits(e.ninki, ninkiWidth), i);
        }
    };
    put(records::hr::PayTansyoUmaban, records::hr::PayTansyoPay, Locate<LHR>("PayTansyo.Ninki"), p.win, 2, 2, 3);
    put(records::hr::PayFukusyoUmaban, records::hr::PayFukusyoPay, Locate<LHR>("PayFukusyo.Ninki"), p.place, 2, 2, 5);
    put(records::hr::PayWakurenKumi, records::hr::PayWakurenPay, Locate<LHR>("PayWakuren.Ninki"), p.bracket, 1, 2, 3);
    put(records::hr::PayUmarenKumi, records::hr::PayUmarenPay, Locate<LHR>("PayUmaren.Ninki"), p.quinella, 2, 3, 3);
    put(records::hr::PayWideKumi, records::hr::PayWidePay, Locate<LHR>("PayWide.Ninki"), p.wide, 2, 3, 7);
    put(records::hr::PayUmatanKumi, records::hr::PayUmatanPay, Locate<LHR>("PayUmatan.Ninki"), p.exacta, 2, 3, 6);
    put(records::hr::PaySanrenpukuKumi, records::hr::PaySanrenpukuPay, Locate<LHR>("PaySanrenpuku.Ninki"), p.trio, 2, 3, 3);
    put(records::hr::PaySanrentanKumi, records::hr::PaySanrentanPay, Locate<LHR>("PaySanrentan.Ninki"), p.trifecta, 2, 4, 6);
    return std::string(r.Bytes());
}

std::string UmRecord(const World& world, const Horse& h, Day made) {
    StoredRecord<LUM> r;
    Head(r, "UM", '1', made);
    r.Set(records::um::KettoNum, h.ketto);
    r.Set(records::um::DelKubun, "0");
    r.Set(Locate<LUM>("RegDate"), h.birth.Plus(600).Ymd());
    r.Set(Locate<LUM>("DelDate"), "00000000");
    r.Set(records::um::BirthDate, h.birth.Ymd());
    r.Set(records::um::Bamei, Sj(h.name));
    r.Set(Locate<LUM>("BameiKana"), Sj(h.kana));
    r.Set(Locate<LUM>("BameiEng"), h.eng);
    r.Set(Locate<LUM>("ZaikyuFlag"), "1");
    r.Set(Locate<LUM>("UmaKigoCD"), h.umakigo);
    r.Set(records::um::SexCD, std::string(1, h.sex));
    r.Set(Locate<LUM>("HinsyuCD"), "1");
    r.Set(records::um::KeiroCD, h.keiro);
    const Breeding& sire = world.sires[static_cast<std::size_t>(h.sire)];
    const Breeding& dam = world.dams[static_cast<std::size_t>(h.dam)];
    const Ancestor pedigree[14] = {sire.self,     dam.self,       sire.parents[0], sire.parents[1], dam.parents[0],
                                   dam.parents[1], sire.grand[0], sire.grand[1],   sire.grand[2],   sire.grand[3],
                                   dam.grand[0],  dam.grand[1],   dam.grand[2],    dam.grand[3]};
    for (int i = 0; i < 14; ++i) {
        r.Set(records::um::Ketto3InfoHansyokuNum, pedigree[i].num, i);
        r.Set(records::um::Ketto3InfoBamei, Sj(pedigree[i].name), i);
    }
    const Person& trainer = world.trainers[static_cast<std::size_t>(h.trainer)];
    const Owner& owner = world.owners[static_cast<std::size_t>(h.owner)];
    const Breeder& breeder = world.breeders[static_cast<std::size_t>(h.breeder)];
    r.Set(records::um::TozaiCD, std::string(1, trainer.tozai));
    r.Set(records::um::ChokyosiCode, trainer.code);
    r.Set(Locate<LUM>("ChokyosiRyakusyo"), Sj(trainer.shortName));
    r.Set(Locate<LUM>("SyotaiChiiki"), Sj(trainer.tozai == '1' ? "美浦" : "栗東"));
    r.Set(records::um::BreederCode, breeder.code);
    r.Set(Locate<LUM>("BreederName"), Sj(breeder.name));
    r.Set(Locate<LUM>("SanchiName"), Sj(breeder.place));
    r.Set(Locate<LUM>("BanusiCode"), owner.code);
    r.Set(Locate<LUM>("BanusiName"), Sj(owner.name));

    // Career figures from the runs before this week.
    long long flatPrize = 0, hurdlePrize = 0;
    int overall[6] = {}, ba[7][6] = {}, going[12][6] = {}, distance[6][6] = {}, styles[4] = {};
    int runs = 0;
    for (std::size_t k = 0; k + 1 < h.runs.size(); ++k) {
        const Race& race = world.races[static_cast<std::size_t>(h.runs[k].race)];
        const Slot& s = race.slots[static_cast<std::size_t>(h.runs[k].slot)];
        if (s.ijyo == '1') continue;
        ++runs;
        const int place = s.finish >= 1 && s.finish <= 5 ? s.finish - 1 : 5;
        ++overall[place];
        const int track = std::atoi(race.layout.track);
        const bool hurdles = race.surface() == Surface::Hurdle;
        (hurdles ? hurdlePrize : flatPrize) += s.prize;
        int b = 6;
        if (!hurdles) {
            const int base = race.surface() == Surface::Turf ? 0 : 3;
            b = base + (track == 10 || track == 29 ? 0 : (track >= 17 && track <= 22) || track == 24 ? 1 : 2);
        }
        ++ba[b][place];
        const int g = std::clamp((race.surface() == Surface::Dirt ? race.dirtGoing : race.turfGoing) - '1', 0, 3);
        ++going[(race.surface() == Surface::Turf ? 0 : race.surface() == Surface::Dirt ? 4 : 8) + g][place];
        if (!hurdles) {
            const int band = race.layout.distance <= 1600 ? 0 : race.layout.distance <= 2200 ? 1 : 2;
            ++distance[(race.surface() == Surface::Turf ? 0 : 3) + band][place];
        }
        if (s.finish > 0) ++styles[std::clamp(s.style - '1', 0, 3)];
    }
    const long long money[6] = {flatPrize, hurdlePrize, 0, 0, flatPrize, hurdlePrize};
    for (int i = 0; i < 6; ++i) r.Set(Locate<LUM>("Ruikei"), Digits(money[i], 9), i);
    for (int i = 0; i < 6; ++i) {
        r.Set(Locate<LUM>("ChakuSogo"), Digits(overall[i], 3), i);
        r.Set(Locate<LUM>("ChakuChuo"), Digits(overall[i], 3), i);
    }
    for (int e = 0; e < 7; ++e)
        for (int i = 0; i < 6; ++i) r.Set(Locate<LUM>("ChakuKaisuBa.ChakuKaisu"), Digits(ba[e][i], 3), e, i);
    for (int e = 0; e < 12; ++e)
        for (int i = 0; i < 6; ++i) r.Set(Locate<LUM>("ChakuKaisuJyotai.ChakuKaisu"), Digits(going[e][i], 3), e, i);
    for (int e = 0; e < 6; ++e)
        for (int i = 0; i < 6; ++i) r.Set(Locate<LUM>("ChakuKaisuKyori.ChakuKaisu"), Digits(distance[e][i], 3), e, i);
    for (int i = 0; i < 4; ++i) r.Set(records::um::Kyakusitu, Digits(styles[i], 3), i);
    r.Set(records::um::RaceCount, Digits(runs, 3));
    return std::string(r.Bytes());
}

namespace {

template <class L>
std::string JockeyRecord(const World& world, const Person& j, Day made) {
    StoredRecord<L> r;
    Head(r, "KS", '1', made);
    r.Set(Locate<L>("KisyuCode"), j.code);
    r.Set(Locate<L>("DelKubun"), "0");
    r.Set(Locate<L>("IssueDate"), j.issued.Ymd());
    r.Set(Locate<L>("DelDate"), "00000000");
    r.Set(Locate<L>("BirthDate"), j.birth.Ymd());
    r.Set(Locate<L>("KisyuName"), Sj(j.name));
    r.Set(Locate<L>("KisyuNameKana"), Sj(j.kana));
    r.Set(Locate<L>("KisyuRyakusyo"), Sj(j.shortName));
    r.Set(Locate<L>("KisyuNameEng"), j.eng);
    r.Set(Locate<L>("SexCD"), std::string(1, j.sex));
    r.Set(Locate<L>("SikakuCD"), j.hurdles ? "1" : "2");  // 1 flat and hurdles, 2 flat only
    r.Set(Locate<L>("MinaraiCD"), std::string(1, j.minarai));
    r.Set(Locate<L>("TozaiCD"), std::string(1, j.tozai));
    r.Set(Locate<L>("SyotaiChiiki"), Sj(j.tozai == '1' ? "美浦" : "栗東"));
    if (j.trainer >= 0) {
        const Person& t = world.trainers[static_cast<std::size_t>(j.trainer)];
        r.Set(Locate<L>("ChokyosiCode"), t.code);
        r.Set(Locate<L>("ChokyosiRyakusyo"), Sj(t.shortName));
    } else {
        r.Set(Locate<L>("ChokyosiCode"), "00000");
    }
    // Statistics blocks: this year, last year, the career. Rides spread over the courses and
    // distance bands; placings from the jockey's place rate.
    const int thisYear = world.saturday.Year();
    const double weekShare = world.saturday.Month() / 12.0;
    const int careerYears = std::max(1, thisYear - j.issued.Year());
    for (int b = 0; b < 3; ++b) {
        const double years = b == 0 ? weekShare : b == 1 ? 1.0 : careerYears;
        const long long rides = static_cast<long long>(j.ridesPerYear * years);
        const double p = j.placeRate[0];
        const double shares[6] = {p * 0.36, p * 0.33, p * 0.31, 0.08, 0.07, 0};
        long long counts[6];
        long long sum = 0;
        for (int i = 0; i < 5; ++i) sum += (counts[i] = static_cast<long long>(rides * shares[i]));
        counts[5] = std::max(0LL, rides - sum);
        r.Set(Locate<L>("HonZenRuikei.SetYear"), b == 2 ? std::string("0000") : std::to_string(thisYear - b), b);
        const long long prize = counts[0] * 90000 + counts[1] * 36000 + counts[2] * 22000;
        r.Set(Locate<L>("HonZenRuikei.HonSyokinHeichi"), Digits(prize, 10), b);
        r.Set(Locate<L>("HonZenRuikei.HonSyokinSyogai"), Digits(j.hurdles ? prize / 20 : 0, 10), b);
        r.Set(Locate<L>("HonZenRuikei.FukaSyokinHeichi"), Digits(prize / 50, 10), b);
        r.Set(Locate<L>("HonZenRuikei.FukaSyokinSyogai"), Digits(0, 10), b);
        for (int i = 0; i < 6; ++i) {
            r.Set(Locate<L>("HonZenRuikei.ChakuKaisuHeichi"), Digits(counts[i], 6), b, i);
            r.Set(Locate<L>("HonZenRuikei.ChakuKaisuSyogai"), Digits(j.hurdles ? counts[i] / 20 : 0, 6), b, i);
        }
        for (int c = 0; c < 20; ++c)
            for (int i = 0; i < 6; ++i)
                r.Set(Locate<L>("HonZenRuikei.ChakuKaisuJyo.ChakuKaisu"), Digits(c < 10 ? counts[i] / 10 : 0, 6), b, c, i);
        for (int d = 0; d < 6; ++d)
            for (int i = 0; i < 6; ++i)
                r.Set(Locate<L>("HonZenRuikei.ChakuKaisuKyori.ChakuKaisu"), Digits(counts[i] / 6, 6), b, d, i);
    }
    return std::string(r.Bytes());
}

// Odds records share one shape: head, announcement, counts, sale flag, entries, total votes.
template <class L>
StoredRecord<L> OddsHead(const Race& race, std::string_view spec, char kubun, Day made, const std::string& announced) {
    StoredRecord<L> r;
    RaceHead(r, spec, kubun, made, race);
    r.Set(Locate<L>("HappyoTime"), announced);
    r.Set(Locate<L>("TorokuTosu"), Digits(static_cast<long long>(race.slots.size()), 2));
    r.Set(Locate<L>("SyussoTosu"), Digits(static_cast<long long>(race.slots.size()), 2));
    return r;
}

template <class L>
std::string ComboRecord(const Race& race, std::string_view spec, char kubun, Day made, const std::string& announced,
                        int places, bool ordered, const std::vector<int>& odds, const std::vector<int>& ninki, long long votes) {
    StoredRecord<L> r = OddsHead<L>(race, spec, kubun, made, announced);
    r.Set(Locate<L>("HatubaiFlag"), "7");
    const int n = static_cast<int>(race.slots.size());
    const auto kumi = records::kOddsKumi<L>;
    const auto oddsRef = records::kOddsOdds<L>;
    const auto ninkiRef = records::kOddsNinki<L>;
    int entry = 0;
    // Every combination of 18 horses in its fixed place; those of horses outside the field
    // carry no odds.
    for (int a = 1; a <= 18; ++a)
        for (int b = ordered ? 1 : a + 1; b <= 18; ++b) {
            if (b == a) continue;
            if (places == 2) {
                r.Set(kumi, Digits(a, 2) + Digits(b, 2), entry);
                const std::size_t k = static_cast<std::size_t>(a * 19 + b);
                if (a <= n && b <= n) {
                    r.Set(oddsRef, Digits(odds[k], oddsRef.width), entry);
                    r.Set(ninkiRef, Digits(ninki[k], ninkiRef.width), entry);
                }
                ++entry;
                continue;
            }
            for (int c = ordered ? 1 : b + 1; c <= 18; ++c) {
                if (c == a || c == b) continue;
                r.Set(kumi, Digits(a, 2) + Digits(b, 2) + Digits(c, 2), entry);
                const std::size_t k = static_cast<std::size_t>((a * 19 + b) * 19 + c);
                if (a <= n && b <= n && c <= n) {
                    r.Set(oddsRef, Digits(odds[k], oddsRef.width), entry);
                    r.Set(ninkiRef, Digits(ninki[k], ninkiRef.width), entry);
                }
                ++entry;
            }
        }
    r.Set(records::kTotalHyosu<L>, Digits(votes, 11));
    return std::string(r.Bytes());
}

}  // namespace

Stage PastStage(const Race& race) { return Stage{'7', race.day.Plus(2), true}; }

Stage WeekStage(const World& world, const Race& race, WeekState state) {
    const bool after = state == WeekState::After;
    return Stage{after ? (race.cancelled ? '9' : '7') : '2', world.FetchDay(state), after};
}

std::string KsRecord(const World& world, const Person& jockey, Day made) {
    return JockeyRecord<records::LayoutKS>(world, jockey, made);
}

std::string KsStoredRecord(const World& world, const Person& jockey, Day made) {
    return JockeyRecord<records::LayoutKSStored>(world, jockey, made);
}

std::string O1Record(const Race& race, const OddsBook& b, char kubun, Day made, const std::string& announced) {
    using L = records::LayoutO1;
    StoredRecord<L> r = OddsHead<L>(race, "O1", kubun, made, announced);
    r.Set(Locate<L>("TansyoFlag"), "7");
    r.Set(Locate<L>("FukusyoFlag"), "7");
    r.Set(Locate<L>("WakurenFlag"), b.bracketSold ? "7" : "0");
    r.Set(Locate<L>("FukuChakuBaraiKey"), b.runners >= 8 ? "3" : "2");
    for (int u = 1; u <= b.runners; ++u) {
        const std::size_t i = static_cast<std::size_t>(u);
        r.Set(records::o1::TansyoUmaban, Digits(u, 2), u - 1);
        r.Set(records::o1::TansyoOdds, Digits(b.win[i], 4), u - 1);
        r.Set(records::o1::TansyoNinki, Digits(b.winNinki[i], 2), u - 1);
        r.Set(records::o1::FukusyoUmaban, Digits(u, 2), u - 1);
        r.Set(records::o1::FukusyoOddsLow, Digits(b.placeLow[i], 4), u - 1);
        r.Set(records::o1::FukusyoOddsHigh, Digits(b.placeHigh[i], 4), u - 1);
        r.Set(Locate<L>("OddsFukusyoInfo.Ninki"), Digits(b.placeNinki[i], 2), u - 1);
    }
    int entry = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = x; y <= 8; ++y, ++entry) {
            r.Set(records::o1::WakurenKumi, std::to_string(x) + std::to_string(y), entry);
            const int odds = b.bracket[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            if (b.bracketSold && odds > 0) {
                r.Set(records::o1::WakurenOdds, Digits(odds, 5), entry);
                r.Set(Locate<L>("OddsWakurenInfo.Ninki"), Digits(b.bracketNinki[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], 2), entry);
            }
        }
    r.Set(Locate<L>("TotalHyosuTansyo"), Digits(b.votes, 11));
    r.Set(Locate<L>("TotalHyosuFukusyo"), Digits(b.votes * 6 / 10, 11));
    r.Set(Locate<L>("TotalHyosuWakuren"), Digits(b.bracketSold ? b.votes / 3 : 0, 11));
    return std::string(r.Bytes());
}

std::string O2Record(const Race& race, const OddsBook& b, char kubun, Day made, const std::string& announced) {
    return ComboRecord<records::LayoutO2>(race, "O2", kubun, made, announced, 2, false, b.quinella, b.quinellaNinki, b.votes * 2);
}
std::string O4Record(const Race& race, const OddsBook& b, char kubun, Day made, const std::string& announced) {
    return ComboRecord<records::LayoutO4>(race, "O4", kubun, made, announced, 2, true, b.exacta, b.exactaNinki, b.votes);
}
std::string O5Record(const Race& race, const OddsBook& b, char kubun, Day made, const std::string& announced) {
    return ComboRecord<records::LayoutO5>(race, "O5", kubun, made, announced, 3, false, b.trio, b.trioNinki, b.votes * 3);
}
std::string O6Record(const Race& race, const OddsBook& b, char kubun, Day made, const std::string& announced) {
    return ComboRecord<records::LayoutO6>(race, "O6", kubun, made, announced, 3, true, b.trifecta, b.trifectaNinki, b.votes * 5);
}

}  // namespace demoweek

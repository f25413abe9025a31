#include "names.h"

#include <vector>

#include "common/encoding.h"

namespace demoweek {

namespace {

struct Piece {
    const char* kana;
    const char* latin;
};

// Pieces of horse names, joined two at a time.
const std::vector<Piece>& NamePieces() {
    static const std::vector<Piece> pieces = {
        {"スター", "Star"},     {"ゴールド", "Gold"},     {"ミラクル", "Miracle"},  {"ブルー", "Blue"},
        {"ロード", "Lord"},     {"キング", "King"},       {"クイーン", "Queen"},    {"シャイン", "Shine"},
        {"ウインド", "Wind"},   {"ドリーム", "Dream"},    {"エース", "Ace"},        {"マリン", "Marine"},
        {"グラン", "Gran"},     {"スカイ", "Sky"},        {"ルナ", "Luna"},         {"ソレイユ", "Soleil"},
        {"ナイト", "Knight"},   {"レッド", "Red"},        {"シルバー", "Silver"},   {"サクラ", "Sakura"},
        {"ホープ", "Hope"},     {"ライト", "Light"},      {"フラワー", "Flower"},   {"ハート", "Heart"},
        {"ファイン", "Fine"},   {"グレイス", "Grace"},    {"ローズ", "Rose"},       {"ムーン", "Moon"},
        {"サニー", "Sunny"},    {"アロー", "Arrow"},      {"ベル", "Belle"},        {"リーフ", "Leaf"},
        {"カイザー", "Kaiser"}, {"セイント", "Saint"},    {"テイオー", "Teio"},     {"オーシャン", "Ocean"},
        {"パワー", "Power"},    {"ラッキー", "Lucky"},    {"ハヤテ", "Hayate"},     {"カゼ", "Kaze"},
        {"ソラ", "Sora"},       {"ユメ", "Yume"},         {"ヒカリ", "Hikari"},     {"タイガー", "Tiger"},
        {"リズム", "Rhythm"},   {"ジョイ", "Joy"},        {"ピース", "Peace"},      {"マジック", "Magic"},
        {"フェスタ", "Festa"},  {"クラウン", "Crown"},    {"ブライト", "Bright"},   {"ストーム", "Storm"},
        {"レジェンド", "Legend"}, {"アミーゴ", "Amigo"},  {"ダンサー", "Dancer"},   {"ボルト", "Bolt"},
        {"メロディ", "Melody"}, {"コスモ", "Cosmo"},      {"トップ", "Top"},        {"ラブ", "Love"},
        {"ギャラン", "Gallant"}, {"ビート", "Beat"},      {"ノーブル", "Noble"},    {"ミスト", "Mist"},
        {"アスール", "Azul"},   {"エール", "Ale"},        {"サンダー", "Thunder"},  {"ロマン", "Roman"},
    };
    return pieces;
}

// Full-width katakana to half-width, character by character (voiced marks become a second
// half-width character).
std::string HalfWidth(const std::string& full) {
    static const char* kFull[] = {
        "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ", "サ", "シ", "ス", "セ", "ソ",
        "タ", "チ", "ツ", "テ", "ト", "ナ", "ニ", "ヌ", "ネ", "ノ", "ハ", "ヒ", "フ", "ヘ", "ホ",
        "マ", "ミ", "ム", "メ", "モ", "ヤ", "ユ", "ヨ", "ラ", "リ", "ル", "レ", "ロ", "ワ", "ン",
        "ガ", "ギ", "グ", "ゲ", "ゴ", "ザ", "ジ", "ズ", "ゼ", "ゾ", "ダ", "ヂ", "ヅ", "デ", "ド",
        "バ", "ビ", "ブ", "ベ", "ボ", "パ", "ピ", "プ", "ペ", "ポ", "ャ", "ュ", "ョ", "ッ", "ァ",
        "ィ", "ゥ", "ェ", "ォ", "ー", "ヲ", "　"};
    static const char* kHalf[] = {
        "ｱ", "ｲ", "ｳ", "ｴ", "ｵ", "ｶ", "ｷ", "ｸ", "ｹ", "ｺ", "ｻ", "ｼ", "ｽ", "ｾ", "ｿ",
        "ﾀ", "ﾁ", "ﾂ", "ﾃ", "ﾄ", "ﾅ", "ﾆ", "ﾇ", "ﾈ", "ﾉ", "ﾊ", "ﾋ", "ﾌ", "ﾍ", "ﾎ",
        "ﾏ", "ﾐ", "ﾑ", "ﾒ", "ﾓ", "ﾔ", "ﾕ", "ﾖ", "ﾗ", "ﾘ", "ﾙ", "ﾚ", "ﾛ", "ﾜ", "ﾝ",
        "ｶﾞ", "ｷﾞ", "ｸﾞ", "ｹﾞ", "ｺﾞ", "ｻﾞ", "ｼﾞ", "ｽﾞ", "ｾﾞ", "ｿﾞ", "ﾀﾞ", "ﾁﾞ", "ﾂﾞ", "ﾃﾞ", "ﾄﾞ",
        "ﾊﾞ", "ﾋﾞ", "ﾌﾞ", "ﾍﾞ", "ﾎﾞ", "ﾊﾟ", "ﾋﾟ", "ﾌﾟ", "ﾍﾟ", "ﾎﾟ", "ｬ", "ｭ", "ｮ", "ｯ", "ｧ",
        "ｨ", "ｩ", "ｪ", "ｫ", "ｰ", "ｦ", " "};
    std::string out;
    for (std::size_t i = 0; i < full.size();) {
        // Every character here is three UTF-8 bytes.
        const std::string ch = full.substr(i, 3);
        bool mapped = false;
        for (std::size_t k = 0; k < sizeof(kFull) / sizeof(kFull[0]); ++k) {
            if (ch == kFull[k]) {
                out += kHalf[k];
                mapped = true;
                break;
            }
        }
        if (!mapped) out += ch;
        i += 3;
    }
    return out;
}

struct Reading {
    const char* kanji;
    const char* kana;
    const char* latin;
};

const std::vector<Reading>& FamilyNames() {
    static const std::vector<Reading> names = {
        {"佐藤", "サトウ", "Sato"},       {"鈴木", "スズキ", "Suzuki"},     {"高橋", "タカハシ", "Takahashi"},
        {"田中", "タナカ", "Tanaka"},     {"伊藤", "イトウ", "Ito"},        {"渡辺", "ワタナベ", "Watanabe"},
        {"山本", "ヤマモト", "Yamamoto"}, {"中村", "ナカムラ", "Nakamura"}, {"小林", "コバヤシ", "Kobayashi"},
        {"加藤", "カトウ", "Kato"},       {"吉田", "ヨシダ", "Yoshida"},    {"山田", "ヤマダ", "Yamada"},
        {"佐々木", "ササキ", "Sasaki"},   {"山口", "ヤマグチ", "Yamaguchi"}, {"松本", "マツモト", "Matsumoto"},
        {"井上", "イノウエ", "Inoue"},    {"木村", "キムラ", "Kimura"},     {"林", "ハヤシ", "Hayashi"},
        {"清水", "シミズ", "Shimizu"},    {"山崎", "ヤマザキ", "Yamazaki"}, {"森", "モリ", "Mori"},
        {"池田", "イケダ", "Ikeda"},      {"橋本", "ハシモト", "Hashimoto"}, {"阿部", "アベ", "Abe"},
        {"石川", "イシカワ", "Ishikawa"}, {"前田", "マエダ", "Maeda"},      {"藤田", "フジタ", "Fujita"},
        {"小川", "オガワ", "Ogawa"},      {"岡田", "オカダ", "Okada"},      {"後藤", "ゴトウ", "Goto"},
        {"長谷川", "ハセガワ", "Hasegawa"}, {"村上", "ムラカミ", "Murakami"}, {"近藤", "コンドウ", "Kondo"},
        {"坂本", "サカモト", "Sakamoto"}, {"遠藤", "エンドウ", "Endo"},     {"青木", "アオキ", "Aoki"},
        {"藤井", "フジイ", "Fujii"},      {"西村", "ニシムラ", "Nishimura"}, {"福田", "フクダ", "Fukuda"},
        {"太田", "オオタ", "Ota"},        {"三浦", "ミウラ", "Miura"},      {"岩田", "イワタ", "Iwata"},
    };
    return names;
}

const std::vector<Reading>& GivenNames(bool female) {
    static const std::vector<Reading> male = {
        {"翔太", "ショウタ", "Shota"},   {"健", "ケン", "Ken"},           {"大輔", "ダイスケ", "Daisuke"},
        {"拓也", "タクヤ", "Takuya"},    {"亮", "リョウ", "Ryo"},         {"誠", "マコト", "Makoto"},
        {"雄一", "ユウイチ", "Yuichi"},  {"和也", "カズヤ", "Kazuya"},    {"直樹", "ナオキ", "Naoki"},
        {"隆", "タカシ", "Takashi"},     {"勇人", "ハヤト", "Hayato"},    {"優", "ユウ", "Yu"},
        {"剛", "ツヨシ", "Tsuyoshi"},    {"光", "ヒカル", "Hikaru"},      {"蓮", "レン", "Ren"},
        {"悠斗", "ユウト", "Yuto"},      {"博", "ヒロシ", "Hiroshi"},     {"修", "オサム", "Osamu"},
        {"浩二", "コウジ", "Koji"},      {"裕介", "ユウスケ", "Yusuke"},  {"大地", "ダイチ", "Daichi"},
        {"陽平", "ヨウヘイ", "Yohei"},   {"圭", "ケイ", "Kei"},           {"聡", "サトシ", "Satoshi"},
    };
    static const std::vector<Reading> woman = {
        {"美咲", "ミサキ", "Misaki"}, {"菜々", "ナナ", "Nana"}, {"結衣", "ユイ", "Yui"},
        {"里奈", "リナ", "Rina"},     {"彩", "アヤ", "Aya"},    {"葵", "アオイ", "Aoi"},
    };
    return female ? woman : male;
}

const std::vector<Reading>& TitleWords() {
    static const std::vector<Reading> words = {
        {"薫風", "", "Kunpu"},       {"若葉", "", "Wakaba"},     {"青葉", "", "Aoba"},
        {"新緑", "", "Shinryoku"},   {"白百合", "", "Shirayuri"}, {"紫陽花", "", "Ajisai"},
        {"水無月", "", "Minazuki"},  {"初夏", "", "Shoka"},       {"秋風", "", "Akikaze"},
        {"紅葉", "", "Momiji"},      {"初雪", "", "Hatsuyuki"},   {"早春", "", "Soshun"},
        {"梅花", "", "Baika"},       {"桜花", "", "Oka"},         {"飛燕", "", "Hien"},
        {"銀河", "", "Ginga"},       {"朱雀", "", "Suzaku"},      {"白鷺", "", "Shirasagi"},
        {"天草", "", "Amakusa"},     {"湘南", "", "Shonan"},      {"比叡", "", "Hiei"},
        {"六甲", "", "Rokko"},       {"大雪", "", "Taisetsu"},    {"羊蹄", "", "Yotei"},
        {"阿武隈", "", "Abukuma"},   {"信濃川", "", "Shinanogawa"}, {"木曽川", "", "Kisogawa"},
        {"鳴門", "", "Naruto"},      {"玄海", "", "Genkai"},      {"八甲田", "", "Hakkoda"},
    };
    return words;
}

}  // namespace

std::string FirstChars(const std::string& text, std::size_t n) { return common::LeftChars(text, n); }

HorseName NewHorseName(Rng& rng, std::set<std::string>& used) {
    const auto& pieces = NamePieces();
    // Two pieces while they last; then a short ending on two pieces; then three pieces cut to
    // the nine characters a name may have.
    static const std::vector<Piece> endings = {{"ン", "n"},   {"ス", "s"},     {"オー", "o"},  {"ワン", " One"},
                                               {"ツー", " Two"}, {"ロ", "ro"},  {"ナ", "na"},   {"ル", "ru"},
                                               {"カ", "ka"},   {"ミ", "mi"},    {"タ", "ta"},   {"ヤ", "ya"}};
    for (int attempt = 0;; ++attempt) {
        const Piece& a = rng.Pick(pieces);
        const Piece& b = rng.Pick(pieces);
        if (a.kana == b.kana) continue;
        std::string name = std::string(a.kana) + b.kana;
        std::string eng = std::string(a.latin) + " " + b.latin;
        if (attempt >= 12) {
            const Piece& e = rng.Pick(endings);
            name += e.kana;
            eng += e.latin;
        }
        if (attempt >= 40) {
            const Piece& c = rng.Pick(pieces);
            name = common::LeftChars(std::string(a.kana) + c.kana + b.kana, 9);
            eng = std::string(a.latin) + " " + c.latin + " " + b.latin;
        }
        const std::size_t chars = common::CharCount(name);
        if (chars < 2 || chars > 9) continue;
        if (!used.insert(name).second) continue;
        return {name, HalfWidth(name), eng};
    }
}

PersonName NewPersonName(Rng& rng, bool female) {
    const Reading& f = rng.Pick(FamilyNames());
    const Reading& g = rng.Pick(GivenNames(female));
    PersonName p;
    p.name = std::string(f.kanji) + "　" + g.kanji;
    p.kana = std::string(f.kana) + "　" + g.kana;
    p.eng = std::string(g.latin) + " " + f.latin;
    p.shortName = common::LeftChars(std::string(f.kanji) + g.kanji, 4);
    if (common::CharCount(f.kanji) == 3) p.shortName = std::string(f.kanji) + common::LeftChars(g.kanji, 1);
    return p;
}

std::string NewOwnerName(Rng& rng) {
    const int kind = rng.Below(4);
    if (kind == 0) return std::string(rng.Pick(NamePieces()).kana) + "レーシング";
    if (kind == 1) return std::string("（有）") + rng.Pick(NamePieces()).kana + "ホースクラブ";
    if (kind == 2) return std::string("（株）") + rng.Pick(FamilyNames()).kanji + "ファーム";
    return NewPersonName(rng, rng.Chance(0.15)).name;
}

std::string NewColours(Rng& rng) {
    static const std::vector<std::string> colours = {"青", "赤", "黄", "緑", "白", "黒", "紫", "桃", "水色", "橙", "茶", "紺"};
    static const std::vector<std::string> patterns = {"一本輪", "二本輪", "襷", "縦縞", "山形一本輪", "星散らし",
                                                      "菱山形", "元禄", "格子", "蛇目", "井桁絣", "袖一本輪"};
    std::string c1 = rng.Pick(colours), c2 = rng.Pick(colours), c3 = rng.Pick(colours);
    if (c2 == c1) c2 = c1 == "白" ? "黒" : "白";
    return c1 + "，" + c2 + rng.Pick(patterns) + "，" + c3 + "袖";
}

std::string NewBreederName(Rng& rng) {
    if (rng.Chance(0.5)) return std::string(rng.Pick(FamilyNames()).kanji) + "牧場";
    return std::string(rng.Pick(NamePieces()).kana) + "ファーム";
}

std::string NewBirthPlace(Rng& rng) {
    static const std::vector<std::string> places = {"日高町", "新冠町", "浦河町", "新ひだか町", "安平町", "平取町",
                                                    "様似町", "千歳市", "むかわ町", "えりも町", "白老町", "鹿児島県"};
    return rng.Pick(places);
}

RaceTitle NewRaceTitle(Rng& rng, int kind, const std::string& courseName, const std::string& courseLatin) {
    const Reading& w = rng.Pick(TitleWords());
    switch (kind) {
        case 0: return {std::string(w.kanji) + "特別", std::string(w.latin) + " Tokubetsu"};
        case 1: return {std::string(w.kanji) + "ステークス", std::string(w.latin) + " Stakes"};
        case 2: {
            const Piece& p = rng.Pick(NamePieces());
            return {std::string(p.kana) + "ステークス", std::string(p.latin) + " Stakes"};
        }
        default:
            if (rng.Chance(0.5)) return {courseName + "記念", courseLatin + " Kinen"};
            return {std::string(w.kanji) + "賞", std::string(w.latin) + " Sho"};
    }
}

}  // namespace demoweek

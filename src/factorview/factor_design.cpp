#include "factorview/factor_design.h"

// The captions and help texts are the program's display texts, kept character for character
// (ordinary, full-width and ideographic blanks as they are), also where a caption or a text
// describes another item than the grid below it.
namespace factorview {

namespace {

using engine::Surface;

constexpr std::array<std::string_view, kHelpTextCount> kHelpTexts = {
    // 1
    "数値の単位は時速(Km/hr)です。所謂定数です。時速55Kmから58Km辺りの数字を示します。",
    // 2
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、X軸は馬番です。新潟直線1000ｍについてはトラックコードの代わりに馬番を使用しています。",
    // 3
    "数値の単位は時速(Km/hr)です。",
    // 4
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、X軸はハンデキャップ(kg)です。",
    // 5
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。X軸は平均本賞金の対数(常用対数）です。なお、00は初出走から連続2回勝てなかった馬、03は3回、04は4回、05は5回連続で本賞金が無かった馬となります。",
    // 6
    "数値の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど、能力、技量が高いと考えて下さい。",
    // 7
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。全体としては前走のコーナー順位を表します。一桁目は3コーナー先行したか後方に控えたかを表し、2桁目は4コーナー（最終）を先行したか後方にいたかを表します。3桁目は入線順位が上位か中位か下位かを表します。",
    // 8
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、雨が重複していますが、右端の雨は小雨を意味します。また雪なども有りますが例数が少ないため省略しました。",
    // 9
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。X軸はレース経験数（累積レース数）です。",
    // 10
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、X軸は馬体重と負担重量の合計に対して負担重量の占める割合(%)です。",
    // 11
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。",
    // 12
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、単位は月齢です。27は満2歳3ヶ月を意味します。43以上は3ヶ月を単位としています。",
    // 13
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。上位2桁が実日数、下位二桁は季節です",
    // 14
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、連は連闘を意味します。02は中2週を、03は中3週を以下同様、27は中27週以上も含みます。スケールは天候馬場状態に合わせて有ります。また長期休養明けなども有りますが、例数が少ないため省略しました。",
    // 15
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、ポイントは前走からの経過日数（レース間隔）で馬体重増減（Kg)を除したもので１日辺り333ｇが相当します。",
    // 16
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、98はサンプルが一頭の為値の振れが大きくなっています。なお意味は９歳で第8子となります。",
    // 17
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、X軸は出走頭数xブリンカーです。頭数が多くなれば全体としては速度が速くなりますが、ペース速度と上がり速度は逆になります。",
    // 18
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。X軸は前走1着馬とのタイム差ですが、-（マイナス）の場合は2着馬とのタイム差となります。",
    // 19
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。X軸は生まれた月です。",
    // 20
    "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。なお、中山ダート1200ｍが非常に特異なコースである事が分かると思います。",
};

constexpr std::string_view kAgariLegend = "上がり(ゴール前3F）影響速度";
constexpr std::string_view kPaceLegend = "ペース(スタートから3F地点）影響速度";
constexpr std::string_view kSohaLegend = "走破(スタートからゴール）影響速度";
constexpr std::string_view kUnitLegend = "縦軸の単位はKm/hr(時速)";

SurfaceDesign Turf() {
    SurfaceDesign d;
    d.surface = Surface::Siba;
    d.window = "FactorTURFZP";
    d.caption = "芝予想因子 Ver.2020.7.21  201901-202503";
    d.clientWidth = 14340;
    d.clientHeight = 12510;
    d.tabPlace = {120, 360, 14055, 11535};
    d.openingTab = 11;
    d.legend.grid = "TurfBonreiFG";
    d.legend.place = {360, 12000, 13335, 375};
    d.legend.widths = {2500, 3000, 3000, 2500};
    d.legend.texts = {kAgariLegend, kPaceLegend, kSohaLegend, kUnitLegend};
    d.age = {"SSTab3", {"牡馬", "牝馬", "馬齢（月齢）数値"}, 0, "MaleAgeChart", "FemaleAgeChart",
             {360, 2040, 11775, 8295}, {480, 720, 10935, 6975}, {360, 720, 10935, 6855}, {360, 720, 10815, 6615}, 27};
    d.tabs = {{
        ItemTab{"F1 開催年", "YearTurfFG", 6, 1, -1},
        ItemTab{"F2 場所TC距離仮柵回次", "KijunSpeedFG", 6, 1, 1200},
        ItemTab{"F3 前走距離長短・格", "ZensoKyoriCornerTurfFG", 6, 1, -1},
        ItemTab{"F4 負担重量", "FutanjuryouTurfFG", 6, 1, -1},
        ItemTab{"F5 累計本賞金", "RuikeiHonshokinTurfFG", 6, 1, -1},
        ItemTab{"F6 馬競走記号", "KyosokigoTurfFG", 6, 0, -1},
        ItemTab{"F7 騎手複勝率", "KishuFukushoTurfFG", 6, 1, -1},
        ItemTab{"F8 競走馬複勝率", "KyosobaFukushorituTurfFG", 6, 1, -1},
        ItemTab{"F9 経験レース数", "RaceSuuTurfFG", 6, 1, -1},
        ItemTab{"F10 負担重量％", "FutanJuuryorituTurfFG", 6, 1, -1},
        ItemTab{"F11 馬体重", "BataijuuTurfFG", 6, 1, -1},
        ItemTab{"F12 馬齢（月齢）", "BareiTurfFG", 6, 1, -1},
        ItemTab{"F13 騎手アーニング", "KishuArningTurfFG", 6, 1, -1},
        ItemTab{"F14 移動競走間隔", "RaceKankakuTurfFG", 6, 1, -1},
        ItemTab{"F15 前前走オッズ", "ZenzenOzzTurfFG", 6, 1, -1},
        ItemTab{"F16 天候馬場状態", "TenkoBabaTurfFG", 6, 1, -1},
        ItemTab{"F17 調教師アーニング", "ChoArningTurfFG", 6, 1, -1},
        ItemTab{"F18 騎手年齢", "KishuNenreiTurfFG", 6, 1, -1},
        ItemTab{"F19 調教師複勝率", "TrainerTurfFG", 6, 1, -1},
        ItemTab{"F20 種牡馬アーニング", "FatherTurfFG", 6, 1, -1},
        ItemTab{"F21 レース番号", "RaceNoTurfFG", 6, 1, -1},
        ItemTab{"F22 前前走着差", "ZenzensoChakusaTurfFG", 6, 1, -1},
        ItemTab{"F23 父馬(種牡馬・距離）", "FFatherTurfFG", 6, 1, -1},
        ItemTab{"F24\u3000馬番土日", "UmabanTurfFG", 6, 1, -1},
        ItemTab{"F25 馬記号誕生月", "UmakigoTukiTurfFG", 6, 1, -1},
        ItemTab{"F26 前走タイム差", "ZensoTimediffTurfFG", 6, 1, -1},
        ItemTab{"F27 日次", "NichijiTurfFG", 6, 1, -1},
        ItemTab{"F28 出走頭数", "ShussoTosuTurfFG", 6, 1, -1},
        ItemTab{"F29 前走3Fラップ比", "LapTurfFG", 6, 1, -1},
        ItemTab{"F30 馬主アーニング", "BanusiArningTurfFG", 6, 1, -1},
    }};
    d.boxes = {{
        HelpBox{"Text11", 1},
        HelpBox{"Text5", 2},
        HelpBox{"Text28", 3},
        HelpBox{"Text13", 4},
        HelpBox{"Text12", 5},
        HelpBox{"Text1", 6},
        HelpBox{"Text24", 7},
        HelpBox{"Text2", 8},
        HelpBox{"Text15", 9},
        HelpBox{"Text14", 10},
        HelpBox{"Text29", 11},
        HelpBox{"Text6", 12},
        HelpBox{"Text30", 13},
        HelpBox{"Text3", 14},
        HelpBox{"Text18", 6},
        HelpBox{"Text19", 15},
        HelpBox{"Text21", 6},
        HelpBox{"Text7", 6},
        HelpBox{"Text8", 6},
        HelpBox{"Text9", 6},
        HelpBox{"Text10", 6},
        HelpBox{"Text23", 0},
        HelpBox{"Text22", 6},
        HelpBox{"Text31", 16},
        HelpBox{"Text32", 11},
        HelpBox{"Text33", 11},
        HelpBox{"Text4", 6},
        HelpBox{"Text25", 17},
        HelpBox{"Text26", 18},
        HelpBox{"Text27", 19},
    }};
    d.gridPageBox = std::nullopt;
    return d;
}

SurfaceDesign Dirt() {
    SurfaceDesign d;
    d.surface = Surface::Dirt;
    d.window = "FactorDIRTZP";
    d.caption = "ダート予想因子\u3000Ver.2020.7.21 201901-202503";
    d.clientWidth = 14115;
    d.clientHeight = 12330;
    d.tabPlace = {240, 240, 13695, 11535};
    d.openingTab = 1;
    d.legend.grid = "DirtBonreiFG";
    d.legend.place = {240, 11880, 13815, 375};
    d.legend.widths = {2500, 3000, 3000, 2500};
    d.legend.texts = {kAgariLegend, kPaceLegend, kSohaLegend, kUnitLegend};
    d.age = {"SSTab3", {"牡馬", "牝馬", "馬齢（月齢）数値"}, 2, "MaleAgeChart", "FemaleAgeChart",
             {360, 2040, 12255, 7815}, {360, 600, 11415, 6975}, {360, 600, 11415, 6495}, {480, 840, 11295, 6375}, 27};
    d.tabs = {{
        ItemTab{"F1 開催年", "YearDirtFG", 6, 1, -1},
        ItemTab{"F2 場所TC距離回次", "KijunSpeedDFG", 6, 1, 1200},
        ItemTab{"F3 前走距離長短・格", "ZensoKyoriCornerDirtFG", 6, 1, -1},
        ItemTab{"F4 負担重量", "FutanjuryouDirtFG", 6, 1, -1},
        ItemTab{"F5 累計本賞金", "RuikeiHonshokinDirtFG", 6, 1, -1},
        ItemTab{"F6 馬競走記号", "KyosokigoDirtFG", 7, 0, -1},
        ItemTab{"F7 騎手複勝率", "KishuFukushoDirtFG", 6, 1, -1},
        ItemTab{"F8 競走馬複勝率", "KyosobaFukushorituDirtFG", 6, 1, -1},
        ItemTab{"F9 経験レース数", "RaceSuuDirtFG", 6, 1, -1},
        ItemTab{"F10 負担重量%", "FutanjuuryorituDirtFG", 6, 1, -1},
        ItemTab{"F11 馬体重", "BataijuuDirtFG", 6, 1, -1},
        ItemTab{"F12 馬齢(月齢）", "BareiDirtFG", 6, 1, -1},
        ItemTab{"F13 騎手アーニング", "KishuArningDirtFG", 6, 1, -1},
        ItemTab{"F14 移動競走間隔", "RaceKankakuDirtFG", 6, 1, -1},
        ItemTab{"F15 前前走オッズ", "ZenzenOzzDirtFG", 6, 1, -1},
        ItemTab{"F16 天候馬場状態", "TenkoBabaDirtFG", 6, 1, -1},
        ItemTab{"F17\u3000調教師アーニング", "ChoArningDirtFG", 6, 1, -1},
        ItemTab{"F18 騎手年齢", "KishuNenreiDirtFG", 6, 1, -1},
        ItemTab{"F19 調教師複勝率", "TrainerDirtFG", 6, 1, -1},
        ItemTab{"F20 種牡馬アーニング", "FatherArningDirtFG", 6, 1, -1},
        ItemTab{"F21 レース番号", "RaceNoDirtFG", 6, 1, -1},
        ItemTab{"F22 前前走着差", "ZenzensoChakusaDirtFG", 6, 1, -1},
        ItemTab{"F23 種牡馬複勝率", "FatherFukushorituDirtFG", 6, 1, -1},
        ItemTab{"F24\u3000馬番土日", "UmabanDirtFG", 6, 1, -1},
        ItemTab{"F25 馬記号誕生月", "UmakigoTukiDirtFG", 6, 1, -1},
        ItemTab{"F26 前走タイム差", "ZensoTimediffDirtFG", 6, 1, -1},
        ItemTab{"F27 日次", "NichijiDirtFG", 6, 1, -1},
        ItemTab{"F28 出走頭数", "ShussoTosuDirtFG", 6, 1, -1},
        ItemTab{"F29 前走3Fタイム比", "LapDirtFG", 6, 1, -1},
        ItemTab{"F30 馬主アーニング", "BanusiArningDirtFG", 6, 1, -1},
    }};
    d.boxes = {{
        HelpBox{"Text11", 1},
        HelpBox{"Text5", 20},
        HelpBox{"Text28", 3},
        HelpBox{"Text13", 4},
        HelpBox{"Text12", 5},
        HelpBox{"Text1", 6},
        HelpBox{"Text24", 7},
        HelpBox{"Text2", 8},
        HelpBox{"Text15", 9},
        HelpBox{"Text14", 10},
        HelpBox{"Text29", 11},
        HelpBox{"Text6", 12},
        HelpBox{"Text30", 13},
        HelpBox{"Text3", 14},
        HelpBox{"Text18", 6},
        HelpBox{"Text19", 15},
        HelpBox{"Text21", 6},
        HelpBox{"Text7", 6},
        HelpBox{"Text8", 6},
        HelpBox{"Text9", 6},
        HelpBox{"Text10", 6},
        HelpBox{"Text23", 0},
        HelpBox{"Text22", 6},
        HelpBox{"Text31", 16},
        HelpBox{"Text32", 11},
        HelpBox{"Text33", 11},
        HelpBox{"Text4", 6},
        HelpBox{"Text27", 19},
        HelpBox{"Text26", 18},
        HelpBox{"Text25", 17},
    }};
    d.gridPageBox = std::nullopt;
    return d;
}

SurfaceDesign Hurdle() {
    SurfaceDesign d;
    d.surface = Surface::Shog;
    d.window = "FactorHURDZP";
    d.caption = "障害予想因子\u3000Ver.2020.7.21 201901-202503";
    d.clientWidth = 14115;
    d.clientHeight = 12330;
    d.tabPlace = {120, 120, 13815, 11175};
    d.openingTab = 1;
    d.legend.grid = "shogBonreiFG";
    d.legend.rows = 2;
    d.legend.fixed = 1;
    d.legend.place = {120, 11760, 13575, 375};
    d.legend.widths = {2000, 2000, 2000, 6000};
    d.legend.texts = {"走破（１F平均）影響速度", "走破（１F平均）影響速度", "走破（１F平均）影響速度",
                      "単位はKm/hr(時速)、3つにしているのは計算精度チェックの為"};
    d.age = {"SSTab5", {"牡馬", "牝馬", "F12\u3000馬齢（月齢）数値"}, 2, "MaleAgeShogChart", "FemaleAgeShogChart",
             {360, 2280, 12255, 8295}, {600, 720, 11175, 6615}, {360, 720, 11415, 6855}, {600, 600, 10935, 5895}, 40};
    d.tabs = {{
        ItemTab{"F1 開催年度", "YearHurdFG", 6, 1, -1},
        ItemTab{"F2 場所距離TC", "KijunSpeedHFG", 6, 1, 1200},
        ItemTab{"F3 前走距離乖離・格", "ZensoKyoriCornerHurdFG", 6, 1, -1},
        ItemTab{"F4\u3000負担重量", "FutanjuryouHurdFG", 6, 1, -1},
        ItemTab{"F5 本賞金", "RuikeiHonshokinHurdFG", 6, 1, -1},
        ItemTab{"F6\u3000馬競走記号", "KyosokigoHurdFG", 7, 1, -1},
        ItemTab{"F7\u3000騎手複勝率", "KishuFukushoHurdFG", 6, 1, -1},
        ItemTab{"F8 競走馬複勝率", "KyosobaFukushorituHurdFG", 6, 1, -1},
        ItemTab{"F9 経験レース数", "RaceSuuHurdFG", 6, 1, -1},
        ItemTab{"F10 負担重量％", "FutanjuuryorituHurdFG", 6, 1, -1},
        ItemTab{"F11 馬体重", "BataijuuHurdFG", 6, 1, -1},
        ItemTab{"F12 馬齢（月齢）", "BareiHurdFG", 6, 1, -1},
        ItemTab{"F13 騎手アーニング", "KishuArningHurdFG", 6, 1, -1},
        ItemTab{"F14 移動競走間隔", "RaceKankakuHurdFG", 6, 1, -1},
        ItemTab{"F15 前前走オッズ", "ZenzenOzzHurdFG", 6, 1, -1},
        ItemTab{"F16 天候馬場状態", "TenkoBabaHurdFG", 6, 1, -1},
        ItemTab{"F17 調教師アーニング", "ChoArningHurdFG", 6, 1, -1},
        ItemTab{"F18 騎手年齢", "KishuNenreiHurdFG", 6, 1, -1},
        ItemTab{"F19 調教師複勝率", "TrainerHurdFG", 6, 1, -1},
        ItemTab{"F20\u3000種牡馬アーニング", "FatherArningHurdFG", 6, 0, -1},
        ItemTab{"F21 レース番号", "RaceNoHurdFG", 6, 1, -1},
        ItemTab{"F22 前前走着差", "ZenzensoChakusaHurdFG", 6, 1, -1},
        ItemTab{"F23\u3000種牡馬複勝率", "FatherFukushorituHurdFG", 6, 1, -1},
        ItemTab{"F24 馬番", "UmabanHurdFG", 6, 1, -1},
        ItemTab{"F25 馬記号誕生月", "UmakigoTukiHurdFG", 6, 1, -1},
        ItemTab{"F26 前走タイム差", "ZensoTimediffHurdFG", 6, 1, -1},
        ItemTab{"F27 回次日次", "NichijiHurdFG", 6, 1, -1},
        ItemTab{"F28\u3000登録頭数", "ShussoTosuHurdFG", 6, 1, -1},
        ItemTab{"F29 前走Fタイム比", "LapHurdFG", 6, 1, -1},
        ItemTab{"F30 馬主アーニング", "BanusiArningHurdFG", 6, 1, -1},
    }};
    d.boxes = {{
        HelpBox{"Text1", 6},
        HelpBox{"Text6", 12},
        HelpBox{"Text7", 6},
        HelpBox{"Text11", 1},
        HelpBox{"Text3", 14},
        HelpBox{"Text12", 5},
        HelpBox{"Text13", 4},
        HelpBox{"Text2", 8},
        HelpBox{"Text14", 10},
        HelpBox{"Text15", 9},
        HelpBox{"Text17", 0},
        std::nullopt,
        HelpBox{"Text18", 6},
        HelpBox{"Text19", 15},
        std::nullopt,
        HelpBox{"Text20", 0},
        HelpBox{"Text21", 6},
        HelpBox{"Text22", 6},
        HelpBox{"Text23", 0},
        HelpBox{"Text10", 6},
        std::nullopt,
        HelpBox{"Text24", 7},
        HelpBox{"Text9", 6},
        HelpBox{"Text5", 20},
        HelpBox{"Text4", 6},
        HelpBox{"Text25", 17},
        std::nullopt,
        HelpBox{"Text26", 18},
        HelpBox{"Text27", 19},
        HelpBox{"Text8", 6},
    }};
    d.gridPageBox = HelpBox{"Text16", 0};
    return d;
}

}  // namespace

const SurfaceDesign& DesignOf(engine::Surface surface) {
    static const std::array<SurfaceDesign, 3> designs = {Turf(), Dirt(), Hurdle()};
    return designs[static_cast<std::size_t>(engine::SurfaceIndex(surface))];
}

std::string_view HelpText(int number) {
    return number >= 1 && number <= kHelpTextCount ? kHelpTexts[static_cast<std::size_t>(number - 1)] : std::string_view();
}

}  // namespace factorview

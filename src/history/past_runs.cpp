#include "history/past_runs.h"

#include <array>
#include <cmath>
#include <vector>

#include "common/code_table.h"
#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "engine/ex_record.h"

namespace history {

namespace {

using engine::ExRecord;
using engine::ex::At;
using Ref = records::Ref<engine::LayoutEx>;

constexpr std::size_t kNameLength = 16;  // <KettoNum>EX.dat
constexpr std::string_view kExSuffix = "EX.dat";
constexpr int kDesignedCols = 2;
constexpr int kCaptionWidth = 2000;  // twips
constexpr int kRunWidth = 1500;

// How a row's fields become the cell text of a run.
enum class Shown {
    Stored,           // the fields' stored texts joined
    BlankAfterFirst,  // the first field, one blank, the others joined
    CourseName,       // the course name of the first field's code, the others joined
    DayName,          // the day-of-week name of the field's code
    Laps,             // each field followed by "-"
};

struct FieldAt {
    Ref ref;
    int i = 0;  // repetition of a repeated field
};

struct FieldRow {
    int row;
    std::string_view caption;
    Shown shown;
    std::vector<FieldAt> fields;
};

// Rows 1 to 141: the text fields of the record.
const std::vector<FieldRow>& FieldRows() {
    namespace ex = engine::ex;
    using enum Shown;
    static const std::vector<FieldRow> rows = {
        {1, "レコードスペック", Stored, {{ex::RecordSpec}}},
        {2, "データ区分", Stored, {{ex::DataKubun}}},
        {3, "作成年月日", Stored, {{ex::MakeDate}}},
        {4, "レース年月日", Stored, {{ex::Year}, {ex::MonthDay}}},
        {5, "レース開催場所回日R", CourseName, {{ex::JyoCD}, {ex::Kaiji}, {ex::Nichiji}, {ex::RaceNum}}},
        {6, "枠馬番血統番号", Stored, {{ex::Wakuban}, {ex::Umaban}, {ex::KettoNum}}},
        {7, "馬名", Stored, {{ex::Bamei}}},
        {8, "生年月日", Stored, {{ex::BirthDate}}},
        {9, "馬招待地区", Stored, {{ex::SyotaiChiiki}}},
        {10, "生産者コード", Stored, {{ex::BreederCode}}},
        {11, "生産地", Stored, {{ex::SanchiName}}},
        {12, "父馬繁殖番号", Stored, {{ex::SireHansyokuNum}}},
        {13, "父馬生年", Stored, {{At("ExPedigree.Block1.BirthYear")}}},
        {14, "父馬生産地", Stored, {{At("ExPedigree.Block1.SanchiName")}}},
        {15, "母馬繁殖番号", Stored, {{ex::DamHansyokuNum}}},
        {16, "母馬生年", Stored, {{At("ExPedigree.Block2.BirthYear")}}},
        {17, "母馬生産地", Stored, {{At("ExPedigree.Block2.SanchiName")}}},
        {18, "母父馬繁殖番号", Stored, {{At("ExPedigree.Block4.HansyokuNum")}}},
        {19, "母父馬生年", Stored, {{At("ExPedigree.Block4.BirthYear")}}},
        {20, "母父馬生産地", Stored, {{At("ExPedigree.Block4.SanchiName")}}},
        {21, "馬記号", Stored, {{ex::UmaKigoCD}}},
        {22, "馬性別", Stored, {{ex::SexCD}}},
        {23, "馬品種", Stored, {{ex::HinsyuCD}}},
        {24, "馬毛色", Stored, {{ex::KeiroCD}}},
        {25, "東西所属", Stored, {{ex::TozaiCD}}},
        {26, "調教師コード", Stored, {{ex::ChokyosiCode}}},
        {27, "馬主コード", Stored, {{ex::BanusiCode}}},
        {28, "服色表示", Stored, {{ex::Fukusyoku}}},
        {29, "負担重量", Stored, {{ex::Futan}}},
        {30, "変更前負担重量", Stored, {{ex::FutanBefore}}},
        {31, "ブリンカー使用区分", Stored, {{ex::Blinker}}},
        {32, "曜日", DayName, {{ex::YoubiCD}}},
        {33, "騎手コード", Stored, {{ex::KisyuCode}}},
        {34, "騎手略称", Stored, {{ex::KisyuRyakusyo}}},
        {35, "騎手生年月日", Stored, {{ex::KisyuBirthDate}}},
        {36, "騎手性別", Stored, {{ex::KisyuSexCD}}},
        {37, "騎乗資格区分", Stored, {{ex::KisyuSikakuCD}}},
        {38, "騎手招待地区", Stored, {{ex::KisyuSyotaiChiiki}}},
        {39, "変更前騎手コード", Stored, {{ex::KisyuCodeBefore}}},
        {40, "変更前騎手略称", Stored, {{ex::KisyuRyakusyoBefore}}},
        {41, "見習い区分", Stored, {{ex::MinaraiCD}}},
        {42, "変更前見習い区分", Stored, {{ex::MinaraiCDBefore}}},
        {43, "馬体重", Stored, {{ex::BaTaijyu}}},
        {44, "前走増減符号", Stored, {{ex::ZogenFugo}}},
        {45, "前走増減差", Stored, {{ex::ZogenSa}}},
        {46, "異常区分", Stored, {{ex::IJyoCD}}},
        {47, "入線順位　1着との秒差", BlankAfterFirst, {{ex::NyusenJyuni}, {ex::TimeDiff}}},
        {48, "確定順位", Stored, {{ex::KakuteiJyuni}}},
        {49, "同着区分", Stored, {{ex::DochakuKubun}}},
        {50, "同着頭数", Stored, {{ex::DochakuTosu}}},
        {51, "走破タイム", Stored, {{ex::Time}}},
        {52, "着差コード", Stored, {{ex::ChakusaCD}}},
        {53, "着差コード+", Stored, {{ex::ChakusaCDP}}},
        {54, "着差コード++", Stored, {{ex::ChakusaCDPP}}},
        {55, "第1コーナー順位", Stored, {{ex::Jyuni1c}}},
        {56, "第2コーナー順位", Stored, {{ex::Jyuni2c}}},
        {57, "第3コーナー順位", Stored, {{ex::Jyuni3c}}},
        {58, "第4コーナー順位", Stored, {{ex::Jyuni4c}}},
        {59, "単勝オッズ", Stored, {{ex::Odds}}},
        {60, "単勝人気", Stored, {{ex::Ninki}}},
        {61, "本賞金", Stored, {{ex::Honsyokin}}},
        {62, "付加賞金", Stored, {{ex::Fukasyokin}}},
        {63, "予備", Stored, {{ex::Reserved3a}}},
        {64, "予備", Stored, {{ex::Reserved3b}}},
        {65, "後半4Fタイム", Stored, {{ex::HaronTimeL4}}},
        {66, "後半3Fタイム", Stored, {{ex::HaronTimeL3}}},
        {67, "レースグレイド", Stored, {{ex::GradeCD}}},
        {68, "変更前レースグレイド", Stored, {{ex::GradeCDBefore}}},
        {69, "競走条件種別", Stored, {{ex::SyubetuCD}}},
        {70, "競走条件記号", Stored, {{ex::KigoCD}}},
        {71, "競走重量種別", Stored, {{ex::JyuryoCD}}},
        {72, "競走2歳条件", Stored, {{ex::JyokenCD, 0}}},
        {73, "競走3歳条件", Stored, {{ex::JyokenCD, 1}}},
        {74, "競走4歳条件", Stored, {{ex::JyokenCD, 2}}},
        {75, "競走5歳以上条件", Stored, {{ex::JyokenCD, 3}}},
        {76, "競走最若年条件", Stored, {{ex::JyokenCD, 4}}},
        {77, "距離(m)", Stored, {{ex::Kyori}}},
        {78, "変更前距離(m)", Stored, {{ex::KyoriBefore}}},
        {79, "トラックコード", Stored, {{ex::TrackCD}}},
        {80, "変更前トラックコード", Stored, {{ex::TrackCDBefore}}},
        {81, "コース区分", Stored, {{ex::CourseKubunCD}}},
        {82, "変更前コース区分", Stored, {{ex::CourseKubunCDBefore}}},
        {83, "本賞金1着", Stored, {{ex::RaceHonsyokin, 0}}},
        {84, "本賞金2着", Stored, {{ex::RaceHonsyokin, 1}}},
        {85, "本賞金3着", Stored, {{ex::RaceHonsyokin, 2}}},
        {86, "本賞金4着", Stored, {{ex::RaceHonsyokin, 3}}},
        {87, "本賞金5着", Stored, {{ex::RaceHonsyokin, 4}}},
        {88, "同着本賞金5着", Stored, {{ex::RaceHonsyokin, 5}}},
        {89, "同着本賞金5着", Stored, {{ex::RaceHonsyokin, 6}}},
        {90, "同着変更前1着本賞金", Stored, {{ex::RaceHonsyokinBefore, 0}}},
        {91, "同着変更前2着本賞金", Stored, {{ex::RaceHonsyokinBefore, 1}}},
        {92, "同着変更前3着本賞金", Stored, {{ex::RaceHonsyokinBefore, 2}}},
        {93, "同着変更前4着本賞金", Stored, {{ex::RaceHonsyokinBefore, 3}}},
        {94, "同着変更前5着本賞金", Stored, {{ex::RaceHonsyokinBefore, 4}}},
        {95, "付加賞金1着", Stored, {{ex::RaceFukasyokin, 0}}},
        {96, "付加賞金2着", Stored, {{ex::RaceFukasyokin, 1}}},
        {97, "付加賞金3着", Stored, {{ex::RaceFukasyokin, 2}}},
        {98, "同着付加賞金3着", Stored, {{ex::RaceFukasyokin, 3}}},
        {99, "同着付加賞金3着", Stored, {{ex::RaceFukasyokin, 4}}},
        {100, "同着変更前1着付加賞金", Stored, {{ex::RaceFukasyokinBefore, 0}}},
        {101, "同着変更前2着付加賞金", Stored, {{ex::RaceFukasyokinBefore, 1}}},
        {102, "同着変更前3着付加賞金", Stored, {{ex::RaceFukasyokinBefore, 2}}},
        {103, "発走時刻", Stored, {{ex::HassoTime}}},
        {104, "変更前発走時刻", Stored, {{ex::HassoTimeBefore}}},
        {105, "登録頭数", Stored, {{ex::TorokuTosu}}},
        {106, "出走頭数", Stored, {{ex::SyussoTosu}}},
        {107, "入線頭数", Stored, {{ex::NyusenTosu}}},
        {108, "天候コード", Stored, {{ex::TenkoCD}}},
        {109, "芝馬場状態", Stored, {{ex::SibaBabaCD}}},
        {110, "ダート馬場状態", Stored, {{ex::DirtBabaCD}}},
        // Only the first four lap times are shown.
        {111, "ハロン毎先頭馬タイム", Laps, {{ex::LapTime, 0}, {ex::LapTime, 1}, {ex::LapTime, 2}, {ex::LapTime, 3}}},
        {112, "障害マイルタイム", Stored, {{ex::SyogaiMileTime}}},
        {113, "前半4Fラップタイム計", Stored, {{ex::RaceHaronTimeS4}}},
        {114, "前半3Fラップタイム計", Stored, {{ex::RaceHaronTimeS3}}},
        {115, "後半4Fラップタイム計", Stored, {{ex::RaceHaronTimeL4}}},
        {116, "後半3Fラップタイム計", Stored, {{ex::RaceHaronTimeL3}}},
        {117, "コ周回各馬通過順位0", Stored, {{ex::CornerInfo, 0}}},
        {118, "コ周回各馬通過順位1", Stored, {{ex::CornerInfo, 1}}},
        {119, "コ周回各馬通過順位2", Stored, {{ex::CornerInfo, 2}}},
        {120, "コ周回各馬通過順位3", Stored, {{ex::CornerInfo, 3}}},
        // The caption names another quantity than the field below it; both stay as they were.
        {121, "累計本賞金対数", Stored, {{ex::FoalOrder}}},
        {122, "上がり時速", Stored, {{At("SpeedText"), 0}}},
        {123, "ペース時速", Stored, {{At("SpeedText"), 1}}},
        {124, "走破時速", Stored, {{At("SpeedText"), 2}}},
        {125, "予想上がり時速", Stored, {{At("SpeedText"), 3}}},
        {126, "予想ペース時速", Stored, {{At("SpeedText"), 4}}},
        {127, "予想走破時速", Stored, {{At("SpeedText"), 5}}},
        {128, "騎手サンプル数", Stored, {{At("SpeedText"), 6}}},
        {129, "生産者サンプル数", Stored, {{At("SpeedText"), 7}}},
        {130, "調教師サンプル数", Stored, {{At("SpeedText"), 8}}},
        {131, "父父馬サンプル数", Stored, {{At("SpeedText"), 9}}},
        {132, "母父馬サンプル数", Stored, {{At("SpeedText"), 10}}},
        {133, "生産者名", Stored, {{ex::BreederName}}},
        {134, "調教師名", Stored, {{ex::ChokyosiRyakusyo}}},
        {135, "父馬名", Stored, {{ex::SireBamei}}},
        {136, "母父馬名", Stored, {{At("ExPedigree.Block4.Bamei")}}},
        {137, "市場コード", Stored, {{At("SaleBlock.MarketCode")}}},
        {138, "市場主催者", Stored, {{At("SaleBlock.MarketHost")}}},
        {139, "市場名", Stored, {{At("SaleBlock.MarketName")}}},
        {140, "取引馬齢開終", BlankAfterFirst,
         {{At("SaleBlock.SaleAge")}, {At("SaleBlock.MarketStart")}, {At("SaleBlock.MarketEnd")}}},
        {141, "市場取引価格", Stored, {{At("SaleBlock.SalePrice")}}},
    };
    return rows;
}

// Rows 142 to 161: the speeds and differences, ExFloats 93 to 112; the last seven have no caption.
constexpr int kFirstFloatRow = 142;
constexpr int kFirstRowFloat = engine::ex_float::kMeasuredAgari;
constexpr int kFloatRows = 20;
constexpr std::array<std::string_view, 13> kFloatCaptions = {
    "上がり時速（単）", "ペース時速（単）", "走破時速（単）", "予想上がり時速（単）", "予想ペース時速（単）",
    "予想走破時速（単）", "合成予想走破時速（単）", "実測走破時速-合成走破（単）", "予想走破時速-合成走破（単）",
    "実測上がり-予想上がり（単）", "実測ペース-予想ペース（単）", "実測走破-予想走破（単）", "100*(sps-spa)/(spp-spa)",
};

// Rows 162 to 311: five rows for each of the thirty model items.
constexpr int kItems = 30;
constexpr int kFirstItemRow = 162;
constexpr std::array<std::string_view, kItems + 1> kItemCaptions = {
    "",
    " 年度", " 開催場所距離", " 前走走行情報", " 負担重量", " 本賞金", " 馬競走記号", " 騎手の複勝率",
    " 競走馬の複勝率", " 経験レース数", " 性別馬体重斤量％", " 馬体重", " 月齢", " 騎手アーニング", " 競走間隔",
    " 推定支持率（前前走）", " 天候馬場状態", " 調教師アーニング", " 騎手年齢見習い", " 調教師の複勝率",
    " 種牡馬アーニング", " 第何R", " タイム着差（前前走）", " 種牡馬距離複勝率", " 馬番", " 生れ月",
    " 前走タイム差", " 日次", " 登録数", " 前後ラップ比", " 馬主アーニング",
};
enum class ItemGroup { Label, Category, AgariFW, PaceFW, SohaFW };
constexpr std::array<std::string_view, 5> kItemPrefixes = {"F", "FC", "AgariFW", "PaceFW", "SohaFW"};

int ItemRow(ItemGroup group, int k) { return kFirstItemRow - 1 + static_cast<int>(group) * kItems + k; }

// A stored text as shown: zero bytes read as blanks, trailing blanks kept.
std::string StoredText(std::string_view bytes) { return common::FromCp932(bytes); }

// A float floored to four decimals; a value that is not a finite number shows nothing.
std::string FloatText(float value) { return std::isfinite(value) ? common::FlooredSingleText(value, 4) : std::string(); }

std::string RunLabel(int k) { return "前" + std::to_string(k - 1) + "走"; }

std::string FieldRowText(const FieldRow& r, const ExRecord& run, const common::CodeTable& codes) {
    std::string text;
    std::size_t first = 0;
    switch (r.shown) {
        case Shown::CourseName:
            text = codes.LookupCode("2001", StoredText(run.Get(r.fields[0].ref)), 4);
            first = 1;
            break;
        case Shown::DayName: return codes.LookupCode("2002", StoredText(run.Get(r.fields[0].ref)), 4);
        case Shown::BlankAfterFirst:
            text = StoredText(run.Get(r.fields[0].ref)) + " ";
            first = 1;
            break;
        case Shown::Stored:
        case Shown::Laps: break;
    }
    std::string bytes;
    for (std::size_t f = first; f < r.fields.size(); ++f) {
        bytes += run.Get(r.fields[f].ref, r.fields[f].i);
        if (r.shown == Shown::Laps) bytes += '-';
    }
    return text + StoredText(bytes);
}

void FillRun(common::GridCells& grid, int col, const ExRecord& run, const common::CodeTable& codes) {
    grid.SetText(0, col, RunLabel(col));
    for (const FieldRow& r : FieldRows()) grid.SetText(r.row, col, FieldRowText(r, run, codes));
    for (int i = 0; i < kFloatRows; ++i) grid.SetText(kFirstFloatRow + i, col, FloatText(run.Float(kFirstRowFloat + i)));
    for (int k = 1; k <= kItems; ++k) {
        grid.SetText(ItemRow(ItemGroup::Label, k), col, StoredText(run.ItemLabel(k)));
        grid.SetText(ItemRow(ItemGroup::Category, k), col, StoredText(run.CategoryIndex(k)));
        grid.SetText(ItemRow(ItemGroup::AgariFW, k), col, FloatText(run.AgariFW(k)));
        grid.SetText(ItemRow(ItemGroup::PaceFW, k), col, FloatText(run.PaceFW(k)));
        grid.SetText(ItemRow(ItemGroup::SohaFW, k), col, FloatText(run.SohaFW(k)));
    }
}

void WriteCaptions(common::GridCells& grid) {
    for (const FieldRow& r : FieldRows()) grid.SetText(r.row, 0, std::string(r.caption));
    for (std::size_t i = 0; i < kFloatCaptions.size(); ++i)
        grid.SetText(kFirstFloatRow + static_cast<int>(i), 0, std::string(kFloatCaptions[i]));
    for (std::size_t g = 0; g < kItemPrefixes.size(); ++g)
        for (int k = 1; k <= kItems; ++k)
            grid.SetText(ItemRow(static_cast<ItemGroup>(g), k), 0,
                         std::string(kItemPrefixes[g]) + std::to_string(k) + std::string(kItemCaptions[static_cast<std::size_t>(k)]));
}

}  // namespace

std::optional<std::string> PastRunsFileName(std::string_view selected) {
    std::string name = common::RightChars(selected, kNameLength);
    if (name.size() != kNameLength || !name.ends_with(kExSuffix)) return std::nullopt;
    if (!common::IsDigits(std::string_view(name).substr(0, kNameLength - kExSuffix.size()))) return std::nullopt;
    return name;
}

PastRuns ListAllPastRuns(std::string_view selected) {
    const common::CodeTable codes = common::CodeTable::Load();
    PastRuns shown;
    if (selected.empty()) {
        shown.EXFG1 = common::GridCells(kPastRunsRows, kDesignedCols);
        return shown;
    }
    // A missing file reads as empty and is not created; a damaged run is passed over and logged,
    // and after a shifted one nothing is shown, so that no run is shown from the wrong bytes.
    std::vector<ExRecord> runs;
    if (const auto name = PastRunsFileName(selected)) {
        const engine::ExRecordFile file(common::AppPath(std::string(engine::kExFolder) + "/" + *name));
        std::int64_t passedOver = 0;
        shown.unreadable = !common::PassOver(kPastRunsStep, [&] { runs = file.ReadAll(kPastRunsStep, &passedOver); });
        if (passedOver > 0) shown.unreadable = true;
    }
    const int n = static_cast<int>(runs.size());
    common::GridCells& grid = shown.EXFG1 = common::GridCells(kPastRunsRows, n + 1);
    for (int k = 1; k <= n; ++k) {
        FillRun(grid, k, runs[static_cast<std::size_t>(n - k)], codes);  // the newest first
        grid.SetColWidth(k, kRunWidth);
        grid.SetColAlignment(k, common::flex_align::kLeftTop);
    }
    grid.SetColWidth(0, kCaptionWidth);
    // The captions come after the runs, so that a file without runs still shows them.
    WriteCaptions(grid);
    return shown;
}

}  // namespace history
